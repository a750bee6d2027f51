// Running a program as a user does, in a scratch directory of its own that
// each test gets fresh: a shell command line, standard input from a text,
// and its standard output, standard error and exit status kept.
#ifndef TESTS_COMMON_SCRATCH_RUN_H
#define TESTS_COMMON_SCRATCH_RUN_H

#include <gtest/gtest.h>
#include <sys/wait.h>

#include <algorithm>
#include <cctype>
#include <chrono>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

#include "started_program.h"

namespace scratch_run {

namespace fs = std::filesystem;

struct Outcome {
    std::string out, err;
    int status = -1;  // exit status, or 128 + signal
};

inline std::string slurp(const fs::path& file) {
    std::ifstream in(file, std::ios::binary);
    std::ostringstream all;
    all << in.rdbuf();
    return all.str();
}

inline std::string shellQuoted(const std::string& word) {
    std::string quoted = "'";
    for (char c : word) quoted += c == '\'' ? std::string("'\\''") : std::string(1, c);
    return quoted + "'";
}

// The shell words of program and its arguments.
inline std::string commandLine(const std::string& program, const std::vector<std::string>& args) {
    std::string command = shellQuoted(program);
    for (const std::string& arg : args) command += " " + shellQuoted(arg);
    return command;
}

// The shell words that run a program under test with args: this build's
// (built), or the one the environment variable named variable gives, such
// as a Windows build (scripts/wine-test.sh), run by TELEDIR_TEST_WRAPPER.
inline std::string testedCommand(const char* variable, const std::string& built,
                                 const std::vector<std::string>& args) {
    const char* program = std::getenv(variable);
    const char* wrapper = std::getenv("TELEDIR_TEST_WRAPPER");
    std::string command = commandLine(program != nullptr && *program != '\0' ? program : built, args);
    return wrapper != nullptr && *wrapper != '\0' ? shellQuoted(wrapper) + " " + command : command;
}

// A stream of such a program's text with its CR LF line ends read as LF,
// when TELEDIR_TEST_CRLF=1 (Windows' text mode writes them).
inline std::string withLfEnds(std::string text) {
    const char* crlf = std::getenv("TELEDIR_TEST_CRLF");
    if (crlf == nullptr || std::string(crlf) != "1") return text;
    for (std::size_t at; (at = text.find("\r\n")) != std::string::npos;) text.erase(at, 1);
    return text;
}

// The folders under root, sorted: one test case each.
inline std::vector<fs::path> foldersUnder(const fs::path& root) {
    std::vector<fs::path> found;
    for (const auto& entry : fs::directory_iterator(root))
        if (entry.is_directory()) found.push_back(entry.path());
    std::sort(found.begin(), found.end());
    return found;
}

// A test's name made of its folder's: letters and digits, the rest as _.
inline std::string folderTestName(const ::testing::TestParamInfo<fs::path>& info) {
    std::string name = info.param.filename().string();
    for (char& c : name)
        if (!std::isalnum(static_cast<unsigned char>(c))) c = '_';
    return name;
}

class Scratch : public ::testing::Test {
protected:
    void SetUp() override {
        std::string pattern = (fs::temp_directory_path() / "scratch-run-XXXXXX").string();
        ASSERT_NE(mkdtemp(pattern.data()), nullptr);
        dir = pattern;
    }
    void TearDown() override { fs::remove_all(dir); }

    // Runs command (shell words, already quoted) in dir with input on its
    // standard input. A run takes milliseconds: one that loops is ended by
    // a second of processor time (TELEDIR_TEST_CPU_SECONDS, for a program
    // run under wine), so the suite fails fast; one that waits, by ten times
    // as long on the clock. Either fails the test. The shell and all it
    // starts end with the run, or with the test however it ends.
    Outcome run(const std::string& command, const std::string& input = "") const {
        write(".stdin", input);
        const char* seconds = std::getenv("TELEDIR_TEST_CPU_SECONDS");
        std::string limit = seconds != nullptr && *seconds != '\0' ? seconds : "1";
        std::string line = "cd " + shellQuoted(dir.string()) + " && { ulimit -t " + shellQuoted(limit) +
                           "; " + command + "; } < .stdin > .stdout 2> .stderr";
        const std::chrono::duration<double> wall(10 * std::max(1.0, std::strtod(limit.c_str(), nullptr)));
        started_program::StartedProgram shell(
            [&] { execl("/bin/sh", "sh", "-c", line.c_str(), static_cast<char*>(nullptr)); });
        int status = 0;
        if (!shell.waitUntil(std::chrono::steady_clock::now() +
                                 std::chrono::duration_cast<std::chrono::steady_clock::duration>(wall),
                             &status)) {
            shell.end();
            shell.wait(&status);
            ADD_FAILURE() << "still running after " << wall.count() << " s, ended: " << command;
        }
        Outcome outcome{slurp(dir / ".stdout"), slurp(dir / ".stderr"),
                        WIFEXITED(status) ? WEXITSTATUS(status) : 128 + WTERMSIG(status)};
        for (const char* stream : {".stdin", ".stdout", ".stderr"}) fs::remove(dir / stream);
        return outcome;
    }
    void write(const std::string& name, const std::string& text) const {
        std::ofstream(dir / name, std::ios::binary) << text;
    }

    fs::path dir;
};

}  // namespace scratch_run

#endif  // TESTS_COMMON_SCRATCH_RUN_H
