#pragma once
// Runs the vocell program of this build as a technician's script would: in a given folder, with
// the build's installed data, no terminal on standard input, standard error with the output.

#include <sys/wait.h>

#include <array>
#include <cstdio>
#include <filesystem>
#include <string>
#include <string_view>

#include <gtest/gtest.h>

namespace vocell::test {

struct VocellRun {
    int status = -1;
    std::string output;  // standard output and standard error together
};

// Whether a run's output holds text; either way the output is shown.
template <typename Run>
::testing::AssertionResult Says(const Run& run, std::string_view text) {
    const bool holds = run.output.find(text) != std::string::npos;
    return (holds ? ::testing::AssertionSuccess() : ::testing::AssertionFailure()) << run.output;
}

inline VocellRun RunVocell(const std::filesystem::path& folder, const std::string& arguments) {
    const std::string command = "cd '" + folder.string() +
                                "' && VOCELL_HOME='" VOCELL_TEST_HOME "' '" VOCELL_CLI_PATH "' " + arguments +
                                " </dev/null 2>&1";
    VocellRun run;
    FILE* pipe = ::popen(command.c_str(), "r");
    std::array<char, 4096> buffer{};
    while (std::size_t n = std::fread(buffer.data(), 1, buffer.size(), pipe))
        run.output.append(buffer.data(), n);
    const int status = ::pclose(pipe);
    run.status = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
    return run;
}

}  // namespace vocell::test
