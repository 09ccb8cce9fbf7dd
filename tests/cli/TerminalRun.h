#pragma once
// Runs the vocell program of this build on a terminal of its own, as a technician at the keyboard
// does: what it prints is read as it comes, and when a text appears the test acts (swaps the
// card, say) and types its answer.

#include <poll.h>
#include <pty.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <cstdlib>
#include <filesystem>
#include <functional>
#include <string>
#include <vector>

namespace vocell::test {

struct TerminalRun {
    int status = -1;
    std::string output;
};

// When the output so far holds `after`, run `act` and type `answer` (with its Enter).
struct TerminalStep {
    std::string after;
    std::function<void()> act;
    std::string answer;
};

inline TerminalRun RunVocellOnTerminal(const std::filesystem::path& folder,
                                       std::vector<std::string> arguments, std::vector<TerminalStep> steps) {
    TerminalRun run;
    int terminal = -1;
    const pid_t child = ::forkpty(&terminal, nullptr, nullptr, nullptr);
    if (child < 0) return run;
    if (child == 0) {
        if (::chdir(folder.c_str()) != 0) ::_exit(127);
        ::setenv("VOCELL_HOME", VOCELL_TEST_HOME, 1);
        std::vector<char*> argv{const_cast<char*>(VOCELL_CLI_PATH)};
        for (std::string& argument : arguments) argv.push_back(argument.data());
        argv.push_back(nullptr);
        ::execv(VOCELL_CLI_PATH, argv.data());
        ::_exit(127);
    }
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(60);
    std::size_t next = 0;
    char buffer[4096];
    while (std::chrono::steady_clock::now() < deadline) {
        pollfd ready{terminal, POLLIN, 0};
        if (::poll(&ready, 1, 100) <= 0) continue;
        const ssize_t got = ::read(terminal, buffer, sizeof buffer);
        if (got <= 0) break;  // the program closed its terminal: it has ended
        run.output.append(buffer, static_cast<std::size_t>(got));
        if (next < steps.size() && run.output.find(steps[next].after) != std::string::npos) {
            if (steps[next].act) steps[next].act();
            const std::string typed = steps[next].answer + "\n";
            if (::write(terminal, typed.data(), typed.size()) < 0) break;
            ++next;
        }
    }
    ::close(terminal);
    int status = 0;
    if (::waitpid(child, &status, 0) == child && WIFEXITED(status)) run.status = WEXITSTATUS(status);
    return run;
}

}  // namespace vocell::test
