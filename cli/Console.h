#pragma once
// The terminal side of the command line: messages, questions and progress on standard error.

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

#include "archive/ArchiveExtraction.h"
#include "archive/ArchiveWriter.h"

namespace vocell::cli {

enum class Answer { Yes, No, Cancel };

class Console {
public:
    Console();

    // A report of the utility (completion, failures) on standard output.
    void say(std::string_view text);
    // A failure on standard error.
    void complain(std::string_view text);
    // Asks on the terminal; nothing when standard input is not a terminal.
    std::optional<Answer> ask(std::string_view question, bool offerCancel);
    [[nodiscard]] bool showsProgress() const { return progressTerminal_; }
    void progress(std::string_view line);
    void endProgress();

private:
    bool questionTerminal_;
    bool progressTerminal_;
    bool progressShown_ = false;
};

// Progress of a backup (the path being stored) and of an extraction (percent), shown while the
// work goes on when standard error is a terminal; extraction messages go to the console.
class ConsoleProgress final : public archive::ArchiveWriterListener,
                              public archive::ExtractionListener {
public:
    explicit ConsoleProgress(Console& console) : console_(console) {}

    void showStoredPath(std::string_view storedPath) override;
    void beginProgress() override;
    void stepProgress() override;
    void endProgress() override;
    void showMessage(const std::string& text) override;

    [[nodiscard]] std::uint64_t pathsShown() const { return pathsShown_; }
    [[nodiscard]] bool messageShown() const { return messageShown_; }

private:
    Console& console_;
    std::uint64_t pathsShown_ = 0;
    int percent_ = 0;
    bool messageShown_ = false;
};

}  // namespace vocell::cli
