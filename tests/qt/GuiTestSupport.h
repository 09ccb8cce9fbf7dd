#pragma once
// What the desktop program's tests share: a fresh installation and card folder per test, and
// answering the modal dialog or popup menu that a click is about to open.

#include <QApplication>
#include <QTimer>
#include <QWidget>
#include <cstdlib>
#include <filesystem>
#include <functional>

#include "tests/support/TempDirectory.h"

#ifndef VOCELL_TEST_HOME
#error "VOCELL_TEST_HOME must name the build's installed data folder"
#endif
#ifndef VOCELL_TEST_SAMPLE_CARD
#error "VOCELL_TEST_SAMPLE_CARD must name the build's sample card"
#endif

namespace vocell::test {

// VOCELL_HOME on a copy of the installed files, and a copy of the sample card named VMCARD.
class TestInstallation {
public:
    TestInstallation() {
        std::filesystem::copy(VOCELL_TEST_HOME, home(), std::filesystem::copy_options::recursive);
        std::filesystem::copy(VOCELL_TEST_SAMPLE_CARD, card(), std::filesystem::copy_options::recursive);
        ::setenv("VOCELL_HOME", home().c_str(), 1);
    }
    ~TestInstallation() { ::unsetenv("VOCELL_HOME"); }
    TestInstallation(const TestInstallation&) = delete;
    TestInstallation& operator=(const TestInstallation&) = delete;

    [[nodiscard]] std::filesystem::path home() const { return temp_.path() / "home"; }
    [[nodiscard]] std::filesystem::path card() const { return temp_.path() / "VMCARD"; }
    [[nodiscard]] std::filesystem::path root() const { return temp_.path(); }

private:
    TempDirectory temp_;
};

// Runs answer on the next modal dialog (or popup menu) as soon as it is open; the call that opens
// it then returns with whatever answer did.
inline void AnswerNextModal(std::function<void(QWidget*)> answer, bool popup = false) {
    auto* timer = new QTimer;
    QObject::connect(timer, &QTimer::timeout, [timer, answer = std::move(answer), popup] {
        QWidget* open = popup ? QApplication::activePopupWidget() : QApplication::activeModalWidget();
        if (open == nullptr) return;
        timer->stop();
        timer->deleteLater();
        answer(open);
    });
    timer->start(10);
}

}  // namespace vocell::test
