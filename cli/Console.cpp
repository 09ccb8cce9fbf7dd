#include "cli/Console.h"

#include <unistd.h>

#include <iostream>

#include "cli/ArchiveListing.h"

namespace vocell::cli {
Console::Console()
    : questionTerminal_(::isatty(STDIN_FILENO) == 1 && ::isatty(STDERR_FILENO) == 1),
      progressTerminal_(::isatty(STDERR_FILENO) == 1) {}

void Console::Say(std::string_view text) {
    EndProgress();
    std::cout << TerminalText(text, true) << '\n' << std::flush;
}

void Console::Complain(std::string_view text) {
    EndProgress();
    std::cerr << TerminalText(text, true) << '\n' << std::flush;
}

std::optional<Answer> Console::Ask(std::string_view question, bool offerCancel) {
    if (!questionTerminal_) return std::nullopt;
    EndProgress();
    while (true) {
        std::cerr << TerminalText(question, true)
                  << (offerCancel ? "\n[y]es, [n]o or [c]ancel? " : "\n[y]es or [n]o? ") << std::flush;
        std::string line;
        if (!std::getline(std::cin, line)) return offerCancel ? Answer::Cancel : Answer::No;
        const char first = line.empty() ? '\0' : static_cast<char>(std::tolower(line[0]));
        if (first == 'y') return Answer::Yes;
        if (first == 'n') return Answer::No;
        if (first == 'c' && offerCancel) return Answer::Cancel;
    }
}

void Console::ShowProgress(std::string_view line) {
    if (!progressTerminal_) return;
    std::cerr << "\r\033[K" << TerminalText(line, false) << std::flush;
    progressShown_ = true;
}

void Console::EndProgress() {
    if (!progressShown_) return;
    std::cerr << "\r\033[K" << std::flush;
    progressShown_ = false;
}

}  // namespace vocell::cli
