// The window during a long backup: it keeps drawing what the system asks it to draw, and a close
// request then changes nothing; the backup ends as it would have.

#include <QFileDialog>
#include <QMessageBox>
#include <QPushButton>
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

// Enough small files for the backup to let the window answer many times.
constexpr int kMessages = 2000;

// Counts what reaches the window while the dialog's operation runs.
class RunningWatch final : public QObject {
public:
    RunningWatch(MainWindow& window, UtilityDialog& dialog) : dialog_(dialog) {
        window.installEventFilter(this);
    }
    int paints = 0;
    int closes = 0;

protected:
    bool eventFilter(QObject* /*watched*/, QEvent* event) override {
        if (!dialog_.operationRunning()) return false;
        if (event->type() == QEvent::Paint) ++paints;
        if (event->type() == QEvent::Close) ++closes;
        return false;
    }

private:
    UtilityDialog& dialog_;
};

}  // namespace

class BusyWindowTest : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void closeAndExposeDuringABackupLeaveItToEnd();
};

void BusyWindowTest::closeAndExposeDuringABackupLeaveItToEnd() {
    test::TestInstallation install;
    const auto mailbox = install.card() / "VM" / "MSGS" / "102";
    std::filesystem::create_directories(mailbox);
    for (int i = 0; i < kMessages; ++i) {
        std::ofstream(mailbox / ("M" + std::to_string(i) + ".WAV"), std::ios::binary) << "message";
    }
    ProgramOptions options;
    options.cardFolder = install.card();
    DesktopProgram program(options);
    QVERIFY(program.Start());
    MainWindow& window = program.window();
    window.show();
    QVERIFY(QTest::qWaitForWindowExposed(&window));
    test::AnswerNextModal([](QWidget* chooser) { qobject_cast<QDialog*>(chooser)->accept(); });
    QTest::mouseClick(window.control(ControlId::Select), Qt::LeftButton);

    const QString backup = QString::fromStdString((install.home() / "Backup" / "card.vcb").string());
    QString lastMessage;
    test::AnswerNextModal([&](QWidget* open) {
        auto* files = qobject_cast<QFileDialog*>(open);
        QVERIFY(files != nullptr);
        files->selectFile(backup);
        test::AnswerNextModal([&](QWidget* box) {
            lastMessage = qobject_cast<QMessageBox*>(box)->text();
            qobject_cast<QMessageBox*>(box)->button(QMessageBox::Ok)->click();
        });
        QMetaObject::invokeMethod(files, "accept");
    });
    // Once the backup runs (no modal dialog open): the system asks the window to close, and a
    // part of it to be drawn again as if it had been uncovered.
    RunningWatch watch(window, program.dialog());
    QTimer interrupter;
    QObject::connect(&interrupter, &QTimer::timeout, [&] {
        if (!program.dialog().operationRunning() || QApplication::activeModalWidget() != nullptr) return;
        interrupter.stop();
        window.update(QRect(0, 0, window.width() / 2, window.height() / 2));
        QCoreApplication::postEvent(&window, new QCloseEvent);
    });
    interrupter.start(5);
    QTest::mouseClick(window.control(ControlId::Backup), Qt::LeftButton);

    QCOMPARE(lastMessage, ToQString(text::kBackupComplete));
    QVERIFY(QFileInfo::exists(backup));
    QCOMPARE(watch.closes, 1);
    QVERIFY(watch.paints >= 1);
    QVERIFY(window.isVisible());
    QCOMPARE(window.statusBar()->paneText(0), ToQString(text::kReady));
}

}  // namespace vocell::qt

QTEST_MAIN(vocell::qt::BusyWindowTest)
#include "BusyWindowTest.moc"
