// The program on a real X display (Xvfb): a sample card folder presented as drive E: is selected,
// backed up and restored through the real dialogs, and the windows are photographed on the way:
// the main dialog, the chooser with its list open, the about box and a restore in progress.

#include <QAbstractItemView>
#include <QComboBox>
#include <QFileDialog>
#include <QLineEdit>
#include <QMessageBox>
#include <QPushButton>
#include <QScreen>
#include <QtTest>
#include <fstream>
#include <memory>

#include "app/DialogLayout.h"
#include "common/Messages.h"
#include "qt/TemplateWidgets.h"
#include "qt/program/DesktopProgram.h"
#include "tests/qt/GuiTestSupport.h"

namespace vocell::qt {
namespace {

// Messages enough for the progress bar to move in steps (it moves at most once per entry).
constexpr int kExtraMessages = 300;
constexpr std::size_t kMessageBytes = 16 * 1024;
constexpr int kProgressShown = 40;

// Saves the part of the screen that the windows cover.
void Photograph(const QString& name, const QList<QWidget*>& windows) {
    QRect area;
    for (QWidget* window : windows) area = area.united(window->frameGeometry());
    const QDir folder(qEnvironmentVariable("VOCELL_SCREENSHOT_DIR", QDir::currentPath()));
    folder.mkpath(QStringLiteral("."));
    const QPixmap shot =
        QGuiApplication::primaryScreen()->grabWindow(0, area.x(), area.y(), area.width(), area.height());
    QVERIFY(shot.save(folder.filePath(name)));
}

// Photographs the restore once its progress bar has come to kProgressShown.
class ProgressPhotographer final : public QObject {
public:
    explicit ProgressPhotographer(MainWindow& window) : window_(window) { window_.installEventFilter(this); }
    [[nodiscard]] bool taken() const { return taken_; }

protected:
    bool eventFilter(QObject* watched, QEvent* event) override {
        if (event->type() == QEvent::ChildPolished) {
            if (auto* bar = qobject_cast<QProgressBar*>(static_cast<QChildEvent*>(event)->child())) {
                bar->installEventFilter(this);
            }
        } else if (event->type() == QEvent::Paint && !taken_) {
            auto* bar = qobject_cast<QProgressBar*>(watched);
            if (bar != nullptr && bar->value() >= kProgressShown) {
                taken_ = true;
                Photograph(QStringLiteral("restore-in-progress.png"), {&window_});
            }
        }
        return false;
    }

private:
    MainWindow& window_;
    bool taken_ = false;
};

}  // namespace

class EndToEndTest : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void selectBackUpAndRestoreASampleCard();

private:
    QWidget* Control(int id) const { return program_->window().control(id); }
    QString Field(int id) const { return qobject_cast<QLineEdit*>(Control(id))->text(); }
    // Answers the message box that opens next with OK, keeping its text.
    void ConfirmNextMessage() {
        test::AnswerNextModal([this](QWidget* open) {
            auto* box = qobject_cast<QMessageBox*>(open);
            QVERIFY(box != nullptr);
            lastMessage_ = box->text();
            QCOMPARE(box->windowTitle(), ToQString(text::kApplicationTitle));
            box->button(QMessageBox::Ok)->click();
        });
    }
    // Chooses path in the file dialog that opens next, then confirms the message after it.
    void ChooseFileThenConfirm(const QString& path) {
        test::AnswerNextModal([this, path](QWidget* open) {
            auto* dialog = qobject_cast<QFileDialog*>(open);
            QVERIFY(dialog != nullptr);
            dialog->selectFile(path);
            ConfirmNextMessage();
            QMetaObject::invokeMethod(dialog, "accept");
        });
    }

    std::unique_ptr<test::TestInstallation> install_;
    std::unique_ptr<DesktopProgram> program_;
    QString lastMessage_;
};

void EndToEndTest::selectBackUpAndRestoreASampleCard() {
    install_ = std::make_unique<test::TestInstallation>();
    // VOCELL_TEST_CARD_MOUNT names the mount point of a real card in a reader (the virtual-machine
    // tests): the program then works on the machine's drives, where that card is D:.
    const QString realCard = qEnvironmentVariable("VOCELL_TEST_CARD_MOUNT");
    const std::filesystem::path card =
        realCard.isEmpty() ? install_->card() : std::filesystem::path(realCard.toStdString());
    const QString deviceText =
        realCard.isEmpty() ? QStringLiteral("VMCARD (E:)") : QStringLiteral("VMCARD (D:)");
    const auto mailbox = card / "VM" / "MSGS" / "102";
    std::filesystem::create_directories(mailbox);
    for (int i = 0; i < kExtraMessages; ++i) {
        std::ofstream(mailbox / QStringLiteral("M%1.WAV").arg(i, 4, 10, QChar('0')).toStdString(),
                      std::ios::binary)
            << std::string(kMessageBytes, static_cast<char>('a' + i % 26));
    }
    const auto message = mailbox / "M0007.WAV";
    ProgramOptions options;
    if (realCard.isEmpty()) options.cardFolder = card;
    program_ = std::make_unique<DesktopProgram>(options);
    QVERIFY(program_->Start());
    MainWindow& window = program_->window();
    window.move(40, 40);
    window.show();
    QVERIFY(QTest::qWaitForWindowExposed(&window));

    // Select, photographing the chooser with its list open.
    test::AnswerNextModal([&window](QWidget* chooser) {
        // Exposed first: under emulation (the virtual-machine tests) painting takes a while.
        QVERIFY(QTest::qWaitForWindowExposed(chooser));
        auto* list = chooser->findChild<QComboBox*>();
        QVERIFY(list != nullptr);
        list->showPopup();
        QWidget* open = list->view()->window();
        QVERIFY(QTest::qWaitForWindowExposed(open));
        QTest::qWait(200);
        Photograph(QStringLiteral("chooser.png"), {&window, chooser, open});
        list->hidePopup();
        qobject_cast<QDialog*>(chooser)->accept();
    });
    QTest::mouseClick(Control(ControlId::Select), Qt::LeftButton);
    QCOMPARE(Field(ControlId::Status), ToQString(text::kReady));
    QCOMPARE(Field(ControlId::Device), deviceText);
    QTest::qWait(200);
    Photograph(QStringLiteral("main-dialog.png"), {&window});

    // The about box, from F1.
    window.activateWindow();
    QVERIFY(QTest::qWaitForWindowActive(&window));
    test::AnswerNextModal([&window](QWidget* about) {
        QVERIFY(QTest::qWaitForWindowExposed(about));
        QTest::qWait(200);
        Photograph(QStringLiteral("about-box.png"), {&window, about});
        qobject_cast<QDialog*>(about)->accept();
    });
    QTest::keyClick(&window, Qt::Key_F1);

    // Back up into the Backup folder.
    const QString backup = QString::fromStdString((install_->home() / "Backup" / "card-backup.vcb").string());
    ChooseFileThenConfirm(backup);
    QTest::mouseClick(Control(ControlId::Backup), Qt::LeftButton);
    QCOMPARE(lastMessage_, ToQString(text::kBackupComplete));
    QVERIFY(QFileInfo::exists(backup));

    // Lose a message, then restore it from the backup.
    std::filesystem::remove(message);
    ProgressPhotographer photographer(window);
    ChooseFileThenConfirm(backup);
    QTest::mouseClick(Control(ControlId::Restore), Qt::LeftButton);
    QCOMPARE(lastMessage_, ToQString(text::kRestoreComplete));
    QCOMPARE(std::filesystem::file_size(message), kMessageBytes);
    QVERIFY(photographer.taken());
    QCOMPARE(window.statusBar()->paneText(0), ToQString(text::kReady));
}

}  // namespace vocell::qt

QTEST_MAIN(vocell::qt::EndToEndTest)
#include "EndToEndTest.moc"
