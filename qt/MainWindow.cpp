#include "qt/MainWindow.h"

#include <QCloseEvent>
#include <QComboBox>
#include <QContextMenuEvent>
#include <QKeyEvent>
#include <QLineEdit>
#include <QMenu>
#include <QPushButton>
#include <QShortcut>

#include "app/DialogLayout.h"
#include "common/Messages.h"
#include "operations/OperationContext.h"
#include "qt/TemplateWidgets.h"

namespace vocell::qt {
namespace {

constexpr int kProgressRange = 100;

void SetText(QWidget* control, const std::string& text) {
    if (auto* edit = qobject_cast<QLineEdit*>(control)) edit->setText(QString::fromStdString(text));
}

}  // namespace

MainWindow::MainWindow() {
    setWindowFlags(Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint | Qt::WindowSystemMenuHint |
                   Qt::WindowCloseButtonHint);
    setWindowIcon(ApplicationIcon());
    controls_ = BuildFromTemplate(*this, MainDialogTemplate(), windowIcon());
    for (int id : {ControlId::Select, ControlId::Backup, ControlId::Restore, ControlId::Update,
                   ControlId::Initialize, ControlId::Ok}) {
        connect(qobject_cast<QPushButton*>(control(id)), &QPushButton::clicked, this,
                [this, id] { Command(id); });
    }
    connect(qobject_cast<QComboBox*>(control(ControlId::DeviceList)), &QComboBox::activated, this,
            [this] { Command(ControlId::DeviceList); });
    auto* about = new QShortcut(QKeySequence::HelpContents, this);
    connect(about, &QShortcut::activated, this, [this] { AboutCommand(); });
}

void MainWindow::Attach(UtilityDialog& dialog) { dialog_ = &dialog; }

QWidget* MainWindow::control(int id) const {
    auto found = controls_.find(id);
    return found != controls_.end() ? found->second : nullptr;
}

void MainWindow::Command(int id) {
    if (dialog_ != nullptr) dialog_->OnCommand(id);
}

void MainWindow::AboutCommand() {
    if (dialog_ != nullptr) dialog_->OnSysCommand(kAboutCommand);
}

bool MainWindow::CreateStatusBar(const QRect& area) {
    if (statusBar_ == nullptr) statusBar_ = new StatusPanes(this);
    statusBar_->setGeometry(0, height() - area.height(), width(), area.height());
    statusBar_->show();
    return true;
}

void MainWindow::CreateProgressBar(const QRect& area) {
    RemoveProgressBar();
    progressBar_ = new QProgressBar(this);
    progressBar_->setObjectName(QStringLiteral("control%1").arg(ControlId::ProgressBar));
    progressBar_->setRange(0, kProgressRange);
    progressBar_->setValue(0);
    progressBar_->setTextVisible(false);
    // Read out by what is in progress, as the status bar's first pane says it.
    if (statusBar_ != nullptr)
        progressBar_->setAccessibleName(statusBar_->paneText(operations::kActivityPane));
    progressBar_->setGeometry(area);
    progressBar_->raise();
    progressBar_->show();
}

void MainWindow::RemoveProgressBar() {
    delete progressBar_;
    progressBar_ = nullptr;
}

void MainWindow::ShowFields(const DialogFields& fields) {
    SetText(control(ControlId::Status), fields.statusText);
    SetText(control(ControlId::Device), fields.deviceText);
    SetText(control(ControlId::CardType), fields.cardTypeText);
    SetText(control(ControlId::PromptVersion), fields.promptVersionText);
    auto* list = qobject_cast<QComboBox*>(control(ControlId::DeviceList));
    list->clear();
    for (const std::string& item : fields.deviceItems) list->addItem(QString::fromStdString(item));
    list->setCurrentIndex(fields.deviceSelection);
}

void MainWindow::Finish(bool ok) { done(ok ? QDialog::Accepted : QDialog::Rejected); }

void MainWindow::keyPressEvent(QKeyEvent* event) {
    const bool enter = event->key() == Qt::Key_Return || event->key() == Qt::Key_Enter;
    if (enter && event->modifiers() == Qt::NoModifier) {
        // Enter presses the button that has the focus; anywhere else it is the hidden Exit button.
        if (auto* button = qobject_cast<QPushButton*>(focusWidget());
            button != nullptr && button->isVisible()) {
            button->click();
        } else {
            Command(ControlId::Ok);
        }
        return;
    }
    QDialog::keyPressEvent(event);  // Escape ends up in reject()
}

void MainWindow::contextMenuEvent(QContextMenuEvent* event) {
    QMenu menu(this);
    QAction* about = menu.addAction(ToQString(text::kAboutMenuItem));
    about->setShortcut(QKeySequence::HelpContents);
    if (menu.exec(event->globalPos()) == about) AboutCommand();
}

void MainWindow::closeEvent(QCloseEvent* event) {
    if (operationRunning()) {
        event->ignore();
        return;
    }
    QDialog::closeEvent(event);
}

void MainWindow::reject() {
    if (!operationRunning()) Command(ControlId::Cancel);
}

}  // namespace vocell::qt
