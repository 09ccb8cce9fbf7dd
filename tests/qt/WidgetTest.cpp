// The desktop program's windows: the main dialog as its template lays it out, each button and key
// reaching the dialog, the chooser, the about box, the status and progress bars, message boxes
// and file dialogs. What the dialog decides is tested in the core; here, what the windows add.

#include <QAbstractItemView>
#include <QAccessible>
#include <QComboBox>
#include <QContextMenuEvent>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QPushButton>
#include <QScreen>
#include <QStyleOptionComboBox>
#include <QtTest>
#include <algorithm>
#include <functional>
#include <memory>
#include <vector>

#include "app/DialogLayout.h"
#include "common/Messages.h"
#include "operations/CardExtraction.h"
#include "operations/InstallFolders.h"
#include "qt/AboutDialog.h"
#include "qt/DriveChooserDialog.h"
#include "qt/GroupFrame.h"
#include "qt/MessageBoxes.h"
#include "qt/TemplateWidgets.h"
#include "qt/program/DesktopProgram.h"
#include "tests/qt/GuiTestSupport.h"

namespace vocell::qt {
namespace {

QString Q(std::string_view text) { return ToQString(text); }

// What a screen reader reads for the widget.
QString Accessible(QWidget* widget, QAccessible::Text text = QAccessible::Name) {
    QAccessibleInterface* accessible = QAccessible::queryAccessibleInterface(widget);
    return accessible != nullptr ? accessible->text(text) : QString();
}

// The name of the label a screen reader names the widget by.
QString LabelOf(QWidget* widget) {
    QAccessibleInterface* accessible = QAccessible::queryAccessibleInterface(widget);
    const auto labels = accessible != nullptr ? accessible->relations(QAccessible::Label)
                                              : QList<QPair<QAccessibleInterface*, QAccessible::Relation>>();
    return labels.isEmpty() ? QString() : labels.first().first->text(QAccessible::Name);
}

// Every control of the window that the keyboard reaches has a name to be read out by.
void ExpectEveryReachableControlNamed(const QWidget& window) {
    for (QWidget* child : window.findChildren<QWidget*>()) {
        if (child->isVisibleTo(&window) && child->focusPolicy() != Qt::NoFocus) {
            QVERIFY2(!Accessible(child).isEmpty(), qPrintable(child->objectName()));
        }
    }
}

// The text a control of the template shows.
QString ShownText(QWidget* widget) {
    if (auto* button = qobject_cast<QPushButton*>(widget)) return button->text();
    if (auto* label = qobject_cast<QLabel*>(widget)) return label->text();
    if (auto* frame = dynamic_cast<GroupFrame*>(widget)) return frame->title();
    if (auto* edit = qobject_cast<QLineEdit*>(widget)) return edit->text();
    return {};
}

struct FileDialogCall {
    FileDialogKind kind;
    FileDialogSettings settings;
    QString hostFolder;
};

}  // namespace

class WidgetTest : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void init();
    void cleanup();
    void mainDialogFollowsItsTemplate();
    void everyTextOfTheTemplatesShowsWholeInTheDesktopsFont();
    void eachButtonReachesItsHandler();
    void enterInAFieldEndsTheDialogAndEscapeCancelsIt();
    void aboutBoxFromF1AndFromTheContextMenu();
    void chooserListsTheEntriesWithTheirMountPoints();
    void barsAndBusyCursorOfTheLiveWindow();
    void messageBoxesCarryTheTitleAndTheButtons();
    void reinstallMessageAtStartIsCentredOnTheScreen();
    void fileDialogsCarryTheirSettings();
    void fileDialogsDoTheWorkHandedToThemWhileTheyWait();

private:
    void StartProgram();
    void SelectCard();
    QWidget* Control(int id) const { return program_->window().control(id); }
    QString Field(int id) const { return qobject_cast<QLineEdit*>(Control(id))->text(); }

    std::unique_ptr<test::TestInstallation> install_;
    std::unique_ptr<DesktopProgram> program_;
    std::vector<QString> messages_;
    std::vector<MessageAnswer> answers_;
    std::vector<FileDialogCall> fileDialogs_;
    std::function<void()> whileFileDialogOpen_;  // the user, before the dialog ends
};

void WidgetTest::init() {
    install_ = std::make_unique<test::TestInstallation>();
    messages_.clear();
    answers_.clear();
    fileDialogs_.clear();
    whileFileDialogOpen_ = {};
}

void WidgetTest::cleanup() {
    program_.reset();
    install_.reset();
}

void WidgetTest::StartProgram() {
    ProgramOptions options;
    options.cardFolder = install_->card();
    options.adjustServices = [this](DesktopServices& services) {
        services.messageBox = [this](QWidget*, const QString& text, MessageButtons buttons) {
            messages_.push_back(text);
            if (buttons == MessageButtons::Ok || answers_.empty()) return MessageAnswer::Ok;
            const MessageAnswer answer = answers_.front();
            answers_.erase(answers_.begin());
            return answer;
        };
        services.fileDialog = [this](QWidget*, FileDialogKind kind, const FileDialogSettings& settings,
                                     const QString& hostFolder) -> std::optional<QString> {
            fileDialogs_.push_back({kind, settings, hostFolder});
            if (whileFileDialogOpen_) whileFileDialogOpen_();
            return std::nullopt;
        };
    };
    program_ = std::make_unique<DesktopProgram>(options);
    QVERIFY(program_->Start());
    program_->window().show();
    QVERIFY(QTest::qWaitForWindowExposed(&program_->window()));
}

void WidgetTest::SelectCard() {
    test::AnswerNextModal([](QWidget* chooser) { qobject_cast<QDialog*>(chooser)->accept(); });
    QTest::mouseClick(Control(ControlId::Select), Qt::LeftButton);
    QCOMPARE(Field(ControlId::Status), Q(text::kReady));
}

void WidgetTest::mainDialogFollowsItsTemplate() {
    StartProgram();
    MainWindow& window = program_->window();
    const DialogTemplate& layout = MainDialogTemplate();
    // The desktop's font as it is, and the template's units measured in it.
    QCOMPARE(window.font(), QApplication::font());
    const DialogUnits units = TemplateUnits(window, layout);
    QCOMPARE(window.windowTitle(), Q(text::kApplicationTitle));
    QCOMPARE(window.size(), QSize(units.ToPixelsX(layout.width), units.ToPixelsY(layout.height)));
    QCOMPARE(window.minimumSize(), window.maximumSize());  // fixed size, nothing to maximise
    QVERIFY(!(window.windowFlags() & Qt::WindowMaximizeButtonHint));

    // Every visible control at its template place with its text; static controls in template order.
    QList<QWidget*> statics;
    for (QWidget* child : window.findChildren<QWidget*>(QString(), Qt::FindDirectChildrenOnly)) {
        if (child->objectName().isEmpty() &&
            (qobject_cast<QLabel*>(child) || dynamic_cast<GroupFrame*>(child))) {
            statics.push_back(child);
        }
    }
    int nextStatic = 0;
    for (const TemplateControl& control : layout.controls) {
        QWidget* widget = control.id == kStaticId ? statics.value(nextStatic++) : Control(control.id);
        QVERIFY2(widget != nullptr, control.text.data());
        QCOMPARE(widget->isVisible(), !control.hidden);
        if (control.hidden) continue;
        const QRect place = units.ToPixels(control.x, control.y, control.width, control.height);
        QCOMPARE(widget->geometry(), place);
        if (control.kind != ControlKind::ReadOnlyEdit && control.kind != ControlKind::CentredReadOnlyEdit) {
            QCOMPARE(ShownText(widget), Q(control.text));
        }
    }
    QCOMPARE(nextStatic, static_cast<int>(statics.size()));
    QCOMPARE(qobject_cast<QLineEdit*>(Control(ControlId::PromptVersion))->alignment(), Qt::AlignCenter);
    QVERIFY(qobject_cast<QLineEdit*>(Control(ControlId::Status))->isReadOnly());
    QCOMPARE(Field(ControlId::Status), Q(text::kCardNotSelected));
    // Each field is read out by its label, and its value is the text it shows.
    ExpectEveryReachableControlNamed(window);
    for (const auto& [id, label] :
         {std::pair{ControlId::Status, "Status"}, std::pair{ControlId::Device, "Device"},
          std::pair{ControlId::CardType, "Type"}, std::pair{ControlId::PromptVersion, "Prompt Version"}}) {
        QCOMPARE(Accessible(Control(id)), QString::fromLatin1(label));
        QCOMPARE(LabelOf(Control(id)), QString::fromLatin1(label));
    }
    QCOMPARE(Accessible(Control(ControlId::Status), QAccessible::Value), Q(text::kCardNotSelected));
    // The hidden device list holds the drive roots.
    auto* list = qobject_cast<QComboBox*>(Control(ControlId::DeviceList));
    QCOMPARE(list->count(), 1);
    QCOMPARE(list->itemText(0), QStringLiteral("E:\\"));
}

void WidgetTest::everyTextOfTheTemplatesShowsWholeInTheDesktopsFont() {
    const QFont desktop = QApplication::font();
    QFont larger = desktop;
    larger.setPointSizeF(desktop.pointSizeF() * 1.5);
    for (const QFont& font : {desktop, larger, QFont(QStringLiteral("DejaVu Serif"), 10)}) {
        QApplication::setFont(font);
        MainWindow main;
        DriveChooserDialog chooser(nullptr, {"VMCARD (E:)"}, 0, {});
        AboutDialog about(nullptr);
        const DialogUnits units = TemplateUnits(main, MainDialogTemplate());
        // Dialog units follow the font: wider than its average letter only where a text needs it.
        QVERIFY(units.averageCharWidth() >= DialogUnits(main).averageCharWidth());
        QCOMPARE(units.charHeight(), DialogUnits(main).charHeight());
        for (const QDialog* dialog : std::initializer_list<const QDialog*>{&main, &chooser, &about}) {
            for (QLabel* label : dialog->findChildren<QLabel*>()) {
                if (label->text().isEmpty()) continue;  // the icon
                const QString where = font.toString() + QStringLiteral(": ") + label->text();
                if (label->wordWrap()) {
                    QVERIFY2(label->heightForWidth(label->width()) <= label->height(), qPrintable(where));
                } else {
                    QVERIFY2(label->fontMetrics().horizontalAdvance(label->text()) <= label->width(),
                             qPrintable(where));
                }
            }
        }
    }
    QApplication::setFont(desktop);
}

void WidgetTest::eachButtonReachesItsHandler() {
    StartProgram();
    SelectCard();
    QCOMPARE(Field(ControlId::Device), QStringLiteral("VMCARD (E:)"));
    answers_ = {MessageAnswer::No};
    for (int id : {ControlId::Backup, ControlId::Restore, ControlId::Update, ControlId::Initialize}) {
        QTest::mouseClick(Control(id), Qt::LeftButton);
    }
    QCOMPARE(fileDialogs_.size(), std::size_t{3});
    QCOMPARE(fileDialogs_[0].kind, FileDialogKind::Save);
    QCOMPARE(fileDialogs_[0].settings, operations::BackupSaveDialog());
    QCOMPARE(fileDialogs_[0].hostFolder, QString::fromStdString((install_->home() / "Backup").string()));
    QCOMPARE(fileDialogs_[1].kind, FileDialogKind::Open);
    QCOMPARE(fileDialogs_[1].settings, operations::BackupOpenDialog());
    QCOMPARE(fileDialogs_[2].settings, operations::PromptPackageOpenDialog());
    QCOMPARE(fileDialogs_[2].hostFolder, QString::fromStdString((install_->home() / "Prompts").string()));
    QCOMPARE(messages_, std::vector<QString>{Q(text::kReformatQuestion)});
}

void WidgetTest::enterInAFieldEndsTheDialogAndEscapeCancelsIt() {
    StartProgram();
    Control(ControlId::Status)->setFocus();
    QTest::keyClick(Control(ControlId::Status), Qt::Key_Return);
    QVERIFY(program_->desktop().ended());
    QVERIFY(program_->desktop().endedWithOk());

    cleanup();
    init();
    StartProgram();
    QTest::keyClick(&program_->window(), Qt::Key_Escape);
    QVERIFY(program_->desktop().ended());
    QVERIFY(!program_->desktop().endedWithOk());
}

void WidgetTest::aboutBoxFromF1AndFromTheContextMenu() {
    StartProgram();
    program_->window().activateWindow();
    QVERIFY(QTest::qWaitForWindowActive(&program_->window()));
    int aboutBoxes = 0;
    auto closeAbout = [&aboutBoxes](QWidget* open) {
        auto* about = dynamic_cast<AboutDialog*>(open);
        QVERIFY(about != nullptr);
        QCOMPARE(about->windowTitle(), Q(AboutBoxTemplate().caption));
        QVERIFY(about->findChild<QLabel*>()->text() == Q(text::kAboutVersion) ||
                about->findChildren<QLabel*>().last()->text() == Q(text::kAboutVersion));
        ++aboutBoxes;
        about->accept();
    };
    test::AnswerNextModal(closeAbout);
    QTest::keyClick(&program_->window(), Qt::Key_F1);
    QTRY_COMPARE(aboutBoxes, 1);

    test::AnswerNextModal(
        [](QWidget* popup) {
            auto* menu = qobject_cast<QMenu*>(popup);
            QVERIFY(menu != nullptr);
            QCOMPARE(menu->actions().size(), 1);
            QCOMPARE(menu->actions().first()->text(), Q(text::kAboutMenuItem));
            menu->setActiveAction(menu->actions().first());
            QTest::keyClick(menu, Qt::Key_Return);
        },
        true);
    test::AnswerNextModal(closeAbout);
    QContextMenuEvent event(QContextMenuEvent::Mouse, QPoint(10, 10),
                            program_->window().mapToGlobal(QPoint(10, 10)));
    QCoreApplication::sendEvent(&program_->window(), &event);
    QTRY_COMPARE(aboutBoxes, 2);
}

void WidgetTest::chooserListsTheEntriesWithTheirMountPoints() {
    const std::vector<std::string> entries{"VMCARD (E:)", "Removable Disk (F:)"};
    DriveChooserDialog chooser(nullptr, entries, 0, [](char letter) {
        return letter == 'E' ? "/media/tech/VMCARD" : std::string();
    });
    const DialogTemplate& layout = DriveChooserTemplate();
    const DialogUnits units = TemplateUnits(chooser, layout);
    QCOMPARE(chooser.windowTitle(), Q(layout.caption));
    QCOMPARE(chooser.size(), QSize(units.ToPixelsX(layout.width), units.ToPixelsY(layout.height)));
    QComboBox* list = chooser.list();
    QCOMPARE(list->count(), 2);
    QCOMPARE(list->itemText(0), QStringLiteral("VMCARD (E:)"));
    QCOMPARE(list->itemText(1), QStringLiteral("Removable Disk (F:)"));
    QCOMPARE(list->itemData(0).toString(), QStringLiteral("VMCARD (E:)"));
    QCOMPARE(chooser.mountPoint(0), QStringLiteral("/media/tech/VMCARD"));
    QCOMPARE(chooser.mountPoint(1), QString());
    QCOMPARE(chooser.selectedIndex(), 0);
    // The list is labelled "Device" and read out as the selected entry with its mount point.
    ExpectEveryReachableControlNamed(chooser);
    QCOMPARE(LabelOf(list), QStringLiteral("Device"));
    QCOMPARE(Accessible(list, QAccessible::Value), QStringLiteral("VMCARD (E:)"));
    QCOMPARE(Accessible(list, QAccessible::Description), QStringLiteral("/media/tech/VMCARD"));
    QCOMPARE(list->toolTip(), QStringLiteral("/media/tech/VMCARD"));

    // Nothing is cut: the closed list holds the entry, the open one each mount point on a line of
    // its own under its entry.
    chooser.show();
    QVERIFY(QTest::qWaitForWindowExposed(&chooser));
    QStyleOptionComboBox closed;
    closed.initFrom(list);
    const QRect shownText =
        list->style()->subControlRect(QStyle::CC_ComboBox, &closed, QStyle::SC_ComboBoxEditField, list);
    QVERIFY(list->fontMetrics().horizontalAdvance(list->currentText()) <= shownText.width());
    list->showPopup();
    QAbstractItemView* rows = list->view();
    QTRY_VERIFY(rows->isVisible());
    const QRect firstRow = rows->visualRect(rows->model()->index(0, 0));
    QVERIFY(firstRow.height() >= 2 * list->fontMetrics().height());
    QVERIFY(firstRow.width() > list->fontMetrics().horizontalAdvance(chooser.mountPoint(0)));
    QCOMPARE(rows->model()->index(0, 0).data(Qt::ToolTipRole).toString(), chooser.mountPoint(0));
    list->hidePopup();
    chooser.hide();
    const auto place = std::ranges::find(layout.controls, ControlId::DeviceList, &TemplateControl::id);
    QVERIFY(place != layout.controls.end());
    QCOMPARE(list->geometry().topLeft(),
             units.ToPixels(place->x, place->y, place->width, place->height).topLeft());
    auto* ok = qobject_cast<QPushButton*>(FindControl(chooser, ControlId::Ok));
    QVERIFY(ok->isDefault());
    QCOMPARE(ok->geometry(), units.ToPixels(58, 39, 50, 14));

    list->setCurrentIndex(1);
    QCOMPARE(list->toolTip(), QString());
    test::AnswerNextModal([](QWidget* open) { qobject_cast<QDialog*>(open)->accept(); });
    QCOMPARE(chooser.Run(), std::optional<int>(1));
    test::AnswerNextModal([](QWidget* open) { qobject_cast<QDialog*>(open)->reject(); });
    QCOMPARE(chooser.Run(), std::optional<int>());
    QCOMPARE(EntryLetter("None"), std::optional<char>());
}

void WidgetTest::barsAndBusyCursorOfTheLiveWindow() {
    StartProgram();
    StatusPanes* status = program_->window().statusBar();
    QVERIFY(status != nullptr);
    const int width = program_->window().width();
    const int height = StatusBarHeight(program_->window().logicalDpiY());
    QCOMPARE(status->geometry(), QRect(0, program_->window().height() - height, width, height));
    QCOMPARE(status->paneGeometry(0).right() + 1, width / 4);
    QCOMPARE(status->paneGeometry(1).right() + 1, std::min(width, (width / 3) * 3));
    QCOMPARE(status->paneText(0), Q(text::kReady));

    program_->window().setFixedSize(410, 310);
    QtDesktop& desktop = program_->desktop();
    QCOMPARE(desktop.ClientRect(), (Rect{0, 0, 410, 310}));
    desktop.CreateProgressBar(ProgressBarArea(desktop.ClientRect()));
    QProgressBar* bar = program_->window().progressBar();
    QVERIFY(bar != nullptr && bar->isVisible());
    QCOMPARE(bar->geometry(), QRect(QPoint(106, 294), QPoint(408, 308)));  // right and bottom exclusive
    QCOMPARE(bar->value(), 0);
    QVERIFY(!bar->isTextVisible());
    QCOMPARE(Accessible(bar), Q(text::kReady));  // read out by the activity, as pane 0 shows it
    desktop.SetStatusPane(operations::kActivityPane, std::string(text::kRestoringData));
    QCOMPARE(Accessible(bar), Q(text::kRestoringData));
    const std::string reading = "2.0 KB of 4.0 KB written, about 1 s left";
    desktop.ShowProgress({2, 2048, 4096, reading});
    QCOMPARE(bar->value(), 2);
    QCOMPARE(bar->text(), QString::fromStdString(reading));
    QVERIFY(bar->isTextVisible());
    QCOMPARE(bar->toolTip(), QString::fromStdString(reading));
    desktop.ShowProgress({ProgressReport::kSteps + 1, 4096, 4096, "4.0 KB of 4.0 KB written"});
    QCOMPARE(bar->value(), bar->maximum());
    QCOMPARE(bar->text(), QStringLiteral("4.0 KB of 4.0 KB written"));
    desktop.RemoveProgressBar();
    QVERIFY(program_->window().progressBar() == nullptr);

    desktop.BeginBusyCursor();
    desktop.BeginBusyCursor();
    desktop.EndBusyCursor();
    QVERIFY(QGuiApplication::overrideCursor() != nullptr);
    QCOMPARE(QGuiApplication::overrideCursor()->shape(), Qt::WaitCursor);
    desktop.EndBusyCursor();
    QVERIFY(QGuiApplication::overrideCursor() == nullptr);
    desktop.EndBusyCursor();  // one end too many changes nothing
    QVERIFY(QGuiApplication::overrideCursor() == nullptr);
}

void WidgetTest::messageBoxesCarryTheTitleAndTheButtons() {
    const QString question = Q(text::kReformatQuestion);
    auto yesNo = BuildMessageBox(nullptr, question, MessageButtons::YesNo);
    QCOMPARE(yesNo->windowTitle(), Q(text::kApplicationTitle));
    QCOMPARE(yesNo->text(), question);
    QCOMPARE(yesNo->standardButtons(), QMessageBox::Yes | QMessageBox::No);
    auto ok = BuildMessageBox(nullptr, Q(text::kBackupComplete), MessageButtons::Ok);
    QCOMPARE(ok->standardButtons(), QMessageBox::StandardButtons(QMessageBox::Ok));
    auto three = BuildMessageBox(nullptr, question, MessageButtons::YesNoCancel);
    QCOMPARE(three->standardButtons(), QMessageBox::Yes | QMessageBox::No | QMessageBox::Cancel);
    // Closing a box without a button counts as its last button.
    QCOMPARE(AnswerOf(QMessageBox::NoButton, MessageButtons::YesNo), MessageAnswer::No);
    QCOMPARE(AnswerOf(QMessageBox::NoButton, MessageButtons::YesNoCancel), MessageAnswer::Cancel);
    QCOMPARE(AnswerOf(QMessageBox::Yes, MessageButtons::YesNo), MessageAnswer::Yes);

    // Wide enough for the whole caption, and read out with its text.
    ok->show();
    QVERIFY(QTest::qWaitForWindowExposed(ok.get()));
    QVERIFY2(ok->width() >= CaptionWidth(*ok), qPrintable(QString::number(ok->width())));
    QCOMPARE(Accessible(ok.get(), QAccessible::Description), Q(text::kBackupComplete));
}

void WidgetTest::reinstallMessageAtStartIsCentredOnTheScreen() {
    std::filesystem::remove(install_->home() / "Prompts" / "PromptUpdateVer1_3_1.vcp");
    DesktopProgram program(ProgramOptions{install_->card(), {}, {}});
    QRect shownAt;
    QString shown;
    test::AnswerNextModal([&](QWidget* open) {
        auto* box = qobject_cast<QMessageBox*>(open);
        QVERIFY(box != nullptr);
        QVERIFY(QTest::qWaitForWindowExposed(box));
        shown = box->text();
        shownAt = box->frameGeometry();
        box->button(QMessageBox::Ok)->click();
    });
    QVERIFY(!program.Start());
    QCOMPARE(shown, Q(text::kReinstallApplication));
    const QPoint offCentre =
        shownAt.center() - QGuiApplication::primaryScreen()->availableGeometry().center();
    QVERIFY2(offCentre.manhattanLength() <= 2,
             qPrintable(QStringLiteral("%1,%2").arg(offCentre.x()).arg(offCentre.y())));
}

void WidgetTest::fileDialogsCarryTheirSettings() {
    QFileDialog save;
    ConfigureFileDialog(save, FileDialogKind::Save, operations::BackupSaveDialog(), QStringLiteral("/tmp"));
    QCOMPARE(save.acceptMode(), QFileDialog::AcceptSave);
    QCOMPARE(save.nameFilters(), QStringList{QStringLiteral("Vocell Greeting & Data Files (*.vcb)")});
    QCOMPARE(save.defaultSuffix(), QStringLiteral("vcb"));
    QVERIFY(!save.testOption(QFileDialog::DontConfirmOverwrite));
    QCOMPARE(save.directory().absolutePath(), QStringLiteral("/tmp"));

    QFileDialog open;
    ConfigureFileDialog(open, FileDialogKind::Open, operations::PromptPackageOpenDialog(), {});
    QCOMPARE(open.acceptMode(), QFileDialog::AcceptOpen);
    QCOMPARE(open.fileMode(), QFileDialog::ExistingFile);
    QCOMPARE(open.nameFilters(), QStringList{QStringLiteral("Vocell Greeting & Data Files (*.vcp)")});
    QCOMPARE(open.defaultSuffix(), QString());
}

void WidgetTest::fileDialogsDoTheWorkHandedToThemWhileTheyWait() {
    StartProgram();
    QtDesktop& desktop = program_->desktop();
    int steps = 0;
    int stepsWhenChosen = -1;
    whileFileDialogOpen_ = [&] {
        QTest::qWait(100);  // the user takes a moment to choose
        stepsWhenChosen = steps;
    };
    desktop.WorkWhileNextFileDialogWaits([&] { return ++steps < 5; });
    QVERIFY(!desktop.SaveFileDialog(operations::BackupSaveDialog()));
    QCOMPARE(stepsWhenChosen, 5);  // every step, up to the one that said the work was done
    // The work was handed to that dialog alone, and none of it runs once the dialog has ended.
    QVERIFY(!desktop.OpenFileDialog(operations::PromptPackageOpenDialog()));
    QCOMPARE(steps, 5);
    whileFileDialogOpen_ = {};  // chosen at once
    desktop.WorkWhileNextFileDialogWaits([&] {
        ++steps;
        return true;
    });
    QVERIFY(!desktop.SaveFileDialog(operations::BackupSaveDialog()));
    QTest::qWait(50);
    QCOMPARE(steps, 5);
}

}  // namespace vocell::qt

QTEST_MAIN(vocell::qt::WidgetTest)
#include "WidgetTest.moc"
