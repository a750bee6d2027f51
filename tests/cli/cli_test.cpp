// The command-line layer: each form of option and operand and each usage
// problem row by row, then what a tool does with them (--help, --version,
// usage errors) and how its run ends (write errors, exhausted memory).
#include <gtest/gtest.h>

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <iostream>
#include <new>
#include <optional>
#include <sstream>
#include <string>
#include <vector>

#include "command_line.h"
#include "tool.h"

namespace {

enum { kFile, kFirst, kIgnoreCase, kTsv, kOutput };

// Options of every kind: short only, long only, both; with and without a
// value.
const std::vector<Option> kOptions = {{kFile, 'f', nullptr, true},
                                      {kFirst, '\0', "first", true},
                                      {kIgnoreCase, 'i', nullptr, false},
                                      {kTsv, '\0', "tsv", false},
                                      {kOutput, 'o', "output", true}};

// argv of a run: the program's name, then args.
std::vector<char*> argvOf(std::vector<std::string>& args) {
    args.insert(args.begin(), "tool");
    std::vector<char*> argv;
    for (std::string& arg : args) argv.push_back(arg.data());
    argv.push_back(nullptr);
    return argv;
}

// What the reader makes of args, one item each, " | " between them.
std::string readAll(std::vector<std::string> args, std::size_t operandLimit) {
    std::vector<char*> argv = argvOf(args);
    ArgumentReader reader(static_cast<int>(args.size()), argv.data(), kOptions, operandLimit);
    std::string items;
    for (int k = 0; k < 20; ++k) {
        Argument argument = reader.next();
        std::string item;
        switch (argument.kind) {
            case Argument::Kind::End: return items;
            case Argument::Kind::Option:
                item = argument.name + (argument.option->takesValue ? "=" + argument.value : "");
                break;
            case Argument::Kind::Operand: item = "operand " + argument.value; break;
            case Argument::Kind::Help: item = "help"; break;
            case Argument::Kind::Version: item = "version"; break;
            case Argument::Kind::Problem: item = "problem: " + argument.value; break;
        }
        items += (items.empty() ? "" : " | ") + item;
    }
    return items + " | no end";
}

struct Row {
    std::vector<std::string> args;
    std::string items;
    std::size_t operandLimit = 1;
};

TEST(ArgumentReader, EachForm) {
    const Row rows[] = {
        {{}, ""},
        {{"Smith"}, "operand Smith"},
        {{"--first", "Ann"}, "--first=Ann"},
        {{"--first=Ann"}, "--first=Ann"},
        {{"--first="}, "--first="},
        {{"--first", "--tsv"}, "--first=--tsv"},  // a value, whatever it looks like
        {{"--first", "--"}, "--first=--"},
        {{"--tsv"}, "--tsv"},
        {{"-f", "x.dat"}, "-f=x.dat"},
        {{"-fx.dat"}, "-f=x.dat"},
        {{"-f", "-i"}, "-f=-i"},
        {{"-i"}, "-i"},
        {{"-ii"}, "-i | -i"},
        {{"-if", "x.dat"}, "-i | -f=x.dat"},
        {{"-ifx.dat", "Smith"}, "-i | -f=x.dat | operand Smith"},
        {{"-fi"}, "-f=i"},
        {{"-"}, "operand -"},
        {{""}, "operand "},
        {{"Smith", "--tsv", "-i"}, "operand Smith | --tsv | -i"},  // options after the operand
        {{"--", "--tsv"}, "operand --tsv"},
        {{"--tsv", "--", "-i"}, "--tsv | operand -i"},
        {{"--help"}, "help"},
        {{"--version"}, "version"},
        {{"--", "--help"}, "operand --help"},
        {{"--first", "--help"}, "--first=--help"},
        {{"a", "b"}, "operand a | operand b", 2},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(testing::PrintToString(row.args));
        EXPECT_EQ(readAll(row.args, row.operandLimit), row.items);
    }
}

// GNU getopt's wording; every argument escaped and cut as teledir's
// messages show names. Reading goes on after a problem.
TEST(ArgumentReader, EachProblem) {
    const Row rows[] = {
        {{"--frobnicate"}, "problem: unrecognized option '--frobnicate'"},
        {{"--fir", "Ann"}, "problem: unrecognized option '--fir' | operand Ann"},  // no abbreviations
        {{"--=x"}, "problem: unrecognized option '--=x'"},
        {{"-x"}, "problem: invalid option -- 'x'"},
        {{"-ix"}, "-i | problem: invalid option -- 'x'"},
        {{"-xi"}, "problem: invalid option -- 'x' | -i"},
        {{"--first"}, "problem: option '--first' requires an argument"},
        {{"-f"}, "problem: option requires an argument -- 'f'"},
        {{"-if"}, "-i | problem: option requires an argument -- 'f'"},
        {{"--tsv=yes"}, "problem: option '--tsv' doesn't allow an argument"},
        {{"--help=yes"}, "problem: option '--help' doesn't allow an argument"},
        {{"a", "b", "c"}, "operand a | problem: extra operand 'b' | problem: extra operand 'c'"},
        {{"a", "--", "b"}, "operand a | problem: extra operand 'b'"},
        {{"a"}, "problem: extra operand 'a'", 0},
        {{"a", "two\x1B[31m"}, "operand a | problem: extra operand 'two\\x1B[31m'"},
        {{"--\x1B[2J"}, "problem: unrecognized option '--\\x1B[2J'"},
        {{"-\a"}, "problem: invalid option -- '\\x07'"},
        {{"-\xC3\xA9"}, "problem: invalid option -- '\\xC3' | problem: invalid option -- '\\xA9'"},
        {{"a", std::string(100, 'b')},
         "operand a | problem: extra operand '" + std::string(40, 'b') + "...'"},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(testing::PrintToString(row.args));
        EXPECT_EQ(readAll(row.args, row.operandLimit), row.items);
    }
}

// Standard output and error captured, and put back after.
class Captured : public ::testing::Test {
protected:
    void SetUp() override {
        savedOut_ = std::cout.rdbuf(out.rdbuf());
        savedErr_ = std::cerr.rdbuf(err.rdbuf());
    }
    void TearDown() override {
        std::cout.rdbuf(savedOut_);
        std::cerr.rdbuf(savedErr_);
    }
    std::ostringstream out, err;

private:
    std::streambuf* savedOut_ = nullptr;
    std::streambuf* savedErr_ = nullptr;
};

const Tool kTool{"tool", 2, [] { std::cout << "Usage: tool\n"; }};
const std::string kTryHelp = "\nTry 'tool --help' for more information.\n";

// Every option and operand taken in order; a problem of the reader's or
// of the tool's own ends the reading at once.
TEST_F(Captured, ReadArguments) {
    struct Case {
        std::vector<std::string> args;
        std::optional<int> ended;
        std::string taken, out, err;
    };
    const Case cases[] = {
        {{"-i", "--first=Ann", "Smith"}, std::nullopt, "-i;--first=Ann;Smith;", "", ""},
        {{}, std::nullopt, "", "", ""},
        {{"-i", "--help", "-x"}, 0, "-i;", "Usage: tool\n", ""},
        {{"--version", "a", "b"}, 0, "", "tool (telephone directory) 1.0.0\n", ""},
        {{"-x", "--help"}, 2, "", "", "tool: invalid option -- 'x'" + kTryHelp},
        {{"a", "b", "--help"}, 2, "a;", "", "tool: extra operand 'b'" + kTryHelp},
        {{"--first=bad", "--help"}, 2, "--first=bad;", "", "tool: no such name 'bad'" + kTryHelp},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::PrintToString(c.args));
        out.str(""), err.str("");
        std::vector<std::string> args = c.args;
        std::vector<char*> argv = argvOf(args);
        std::string taken;
        std::optional<int> ended = readArguments(
            kTool, static_cast<int>(args.size()), argv.data(), kOptions, 1, [&](const Argument& argument) {
                taken += argument.kind == Argument::Kind::Operand ? argument.value
                         : argument.option->takesValue            ? argument.name + "=" + argument.value
                                                                  : argument.name;
                taken += ';';
                return argument.value == "bad" ? std::string("no such name 'bad'") : std::string();
            });
        EXPECT_EQ(ended, c.ended);
        EXPECT_EQ(taken, c.taken);
        EXPECT_EQ(out.str(), c.out);
        EXPECT_EQ(err.str(), c.err);
    }
}

// Standard output that takes room bytes, then fails, setting errno to error
// unless that is 0.
class FailingOutput : public std::streambuf {
public:
    FailingOutput(std::size_t room, int error) : room_(room), error_(error) {}
    std::string written;

protected:
    int_type overflow(int_type c) override {
        char byte = traits_type::to_char_type(c);
        return xsputn(&byte, 1) == 1 ? c : traits_type::eof();
    }
    std::streamsize xsputn(const char* text, std::streamsize count) override {
        std::size_t taken = std::min(room_ - written.size(), static_cast<std::size_t>(count));
        written.append(text, taken);
        if (taken < static_cast<std::size_t>(count) && error_ != 0) errno = error_;
        return static_cast<std::streamsize>(taken);
    }

private:
    std::size_t room_;
    int error_;
};

// What a run wrote: a short line, a long one, a line end on its own; then
// it meets a failure of its own (errno EDOM), which is no write error.
int writingRun(int, char**) {
    errno = EDOM;
    std::cout << "report\n";
    EXPECT_EQ(errno, EDOM) << "a write that did not fail keeps errno";
    std::cout << std::string(100, 'x') << '\n';
    errno = EBADF;
    return 1;
}

TEST_F(Captured, RunEndsWithWriteError) {
    struct Case {
        const char* what;
        std::size_t room;
        int error;
        int status;
        std::string err;
    };
    const std::string reason = std::strerror(ENOSPC);
    const Case cases[] = {
        {"all written", 1000, 0, 1, ""},
        {"the long line fails", 10, ENOSPC, 2, "tool: write error: " + reason + "\n"},
        {"a line end on its own fails", 107, ENOSPC, 2, "tool: write error: " + reason + "\n"},
        {"a failure without a reason", 10, 0, 2, "tool: write error\n"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        err.str("");
        FailingOutput output(c.room, c.error);
        std::cout.rdbuf(&output);
        EXPECT_EQ(runTool(kTool, writingRun, 0, nullptr), c.status);
        EXPECT_EQ(err.str(), c.err);
        EXPECT_EQ(output.written, std::string("report\n" + std::string(100, 'x') + "\n").substr(0, c.room));
        EXPECT_EQ(std::cout.rdbuf(), &output) << "standard output is put back";
        std::cout.rdbuf(out.rdbuf());
    }
}

TEST_F(Captured, RunEndsWhenMemoryIsExhausted) {
    int status = runTool(
        kTool, [](int, char**) -> int { throw std::bad_alloc(); }, 0, nullptr);
    EXPECT_EQ(status, 2);
    EXPECT_EQ(err.str(), std::string("tool: ") + std::bad_alloc().what() + "\n");
}

}  // namespace
