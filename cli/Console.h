#pragma once
// The terminal side of the command line: messages, questions and progress on standard error.

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

namespace vocell::cli {

enum class Answer { Yes, No, Cancel };

class Console {
public:
    Console();

    // A report of the utility (completion, failures) on standard output.
    void Say(std::string_view text);
    // A failure on standard error.
    void Complain(std::string_view text);
    // Asks on the terminal; nothing when standard input is not a terminal.
    std::optional<Answer> Ask(std::string_view question, bool offerCancel);
    void ShowProgress(std::string_view line);
    void EndProgress();

private:
    bool questionTerminal_;
    bool progressTerminal_;
    bool progressShown_ = false;
};

}  // namespace vocell::cli
