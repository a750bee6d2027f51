// Runs the directory program as a user does: in a directory of its own with
// a telelist.dat, the dialogue on standard input, standard output and error
// compared byte for byte, and the exit status.
//
// Each folder under cases/ is one telelist.dat (none when the folder has
// none) with any number of dialogues: NAME.in is fed to standard input,
// NAME.out is the expected standard output with the console commands shown
// as "[cls]\n", "[pause]\n", "[PAUSE]\n" and "[exit]\n" where they happen,
// NAME.err the expected standard error (empty when absent) and NAME.status
// the exit status (0 when absent). The recording build must print NAME.out
// as it stands; the real program, whose commands print nothing on pipes,
// must print it without the command lines.
//
// TELEDIR_TEST_UPDATE=1 writes the expected files instead of reading them
// as they stand: NAME.out, NAME.err and NAME.status from the recording
// build's run of each dialogue, and telelist-check.out, .err and .status
// from telelist-check's run in each folder that has a telelist-check.out
// (an empty one enlists a new folder). An .err or .status is written only
// when not empty or not 0, and deleted otherwise. The real program is still
// held to the fresh NAME.out; review the changes with `git diff`.
//
// Each run may take TELEDIR_TEST_TIMEOUT seconds (by default 1, as a
// dialogue takes milliseconds, or 30 under TELEDIR_TEST_WRAPPER; the two
// long sessions get ten times as much) and print 64 MiB on each stream;
// past either it is killed and the test fails saying which.
//
// The same cases check the Windows build under wine: TELEDIR_TEST_PROGRAM,
// TELEDIR_TEST_RECORDING_PROGRAM and TELEDIR_TEST_CHECK_PROGRAM name the
// programs instead of the ones built here, and TELEDIR_TEST_CRLF=1 reads
// the CR LF line ends of Windows text mode on standard output and error as
// LF.
#include <fcntl.h>
#include <gtest/gtest.h>
#include <poll.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

#include <locale.h>
#include <algorithm>
#include <cctype>
#include <chrono>
#include <csignal>
#include <cstdlib>
#include <cwchar>
#include <cwctype>
#include <filesystem>
#include <fstream>
#include <regex>
#include <sstream>
#include <string>
#include <thread>
#include <vector>

#include "scratch_run.h"
#include "screen_texts.h"
#include "started_program.h"

namespace fs = std::filesystem;
using namespace screen_texts;

namespace {

struct Outcome {
    std::string out, err;
    int status = -1;      // exit status, or 128 + signal
    std::string stopped;  // why the harness killed the program; empty when it ended by itself
};

// TELEDIR_TEST_WRAPPER, when set, is a command line that runs each program
// (valgrind with its options, say), split at blanks.
std::vector<std::string> wrapperWords() {
    std::vector<std::string> words;
    const char* wrapper = std::getenv("TELEDIR_TEST_WRAPPER");
    std::istringstream line(wrapper != nullptr ? wrapper : "");
    for (std::string word; line >> word;) words.push_back(word);
    return words;
}

// The program the environment variable names, or else the one built here.
std::string programUnderTest(const char* variable, const char* built) {
    const char* named = std::getenv(variable);
    return named != nullptr && *named != '\0' ? named : built;
}

const std::string kProgram = programUnderTest("TELEDIR_TEST_PROGRAM", TELEDIR_PROGRAM);
const std::string kRecordingProgram = programUnderTest("TELEDIR_TEST_RECORDING_PROGRAM", RECORDING_PROGRAM);
const std::string kCheckProgram = programUnderTest("TELEDIR_TEST_CHECK_PROGRAM", CHECK_PROGRAM);

bool updating() {
    const char* update = std::getenv("TELEDIR_TEST_UPDATE");
    return update != nullptr && std::string(update) == "1";
}

// Seconds one run may take: TELEDIR_TEST_TIMEOUT, or else 1, and 30 under
// a wrapper.
double runLimit() {
    const char* limit = std::getenv("TELEDIR_TEST_TIMEOUT");
    double seconds = limit != nullptr ? std::strtod(limit, nullptr) : 0;
    if (seconds > 0) return seconds;
    return wrapperWords().empty() ? 1 : 30;
}

constexpr int kLongRun = 10;  // the allowance of the two long sessions, in run limits
constexpr std::size_t kKeptBytes = std::size_t{64} << 20;  // of each stream

// Every CR LF as LF, where the program writes text-mode line ends.
std::string asLineFeeds(std::string text) {
    const char* crlf = std::getenv("TELEDIR_TEST_CRLF");
    if (crlf == nullptr || std::string(crlf) != "1") return text;
    std::string::size_type kept = 0;
    for (std::string::size_type at = 0; at < text.size(); ++at)
        if (!(text[at] == '\r' && at + 1 < text.size() && text[at + 1] == '\n')) text[kept++] = text[at];
    text.resize(kept);
    return text;
}

// Runs program in dir with input on its standard input and args after its
// name; stackLimit bytes of stack when not 0. A run past allowance times
// runLimit() seconds, or past kKeptBytes on a stream, is killed and fails
// the test. Its process group, which holds what a wrapper starts, ends with
// the run, or with the test however it ends.
Outcome runProgram(const std::string& program, const fs::path& dir, const std::string& input,
                   rlim_t stackLimit = 0, const std::vector<std::string>& args = {}, int allowance = 1) {
    using Clock = std::chrono::steady_clock;
    std::signal(SIGPIPE, SIG_IGN);  // the program may end before reading all
    int in[2], out[2], err[2];
    if (pipe(in) || pipe(out) || pipe(err)) ADD_FAILURE() << "pipe failed";
    std::vector<std::string> words = wrapperWords();
    words.emplace_back(program);
    words.insert(words.end(), args.begin(), args.end());
    std::vector<char*> argv;
    for (std::string& word : words) argv.push_back(word.data());
    argv.push_back(nullptr);
    started_program::StartedProgram started([&] {
        dup2(in[0], 0), dup2(out[1], 1), dup2(err[1], 2);
        for (int fd : {in[0], in[1], out[0], out[1], err[0], err[1]})
            if (fd > 2) close(fd);  // a pipe end may already be 0, 1 or 2 when those were closed
        if (stackLimit != 0) {
            rlimit limit{stackLimit, stackLimit};
            setrlimit(RLIMIT_STACK, &limit);
        }
        if (chdir(dir.c_str()) == 0) execvp(argv[0], argv.data());
    });
    const double seconds = allowance * runLimit();
    const auto deadline = Clock::now() + std::chrono::duration<double>(seconds);
    auto millisecondsLeft = [&] {
        auto left = std::chrono::duration_cast<std::chrono::milliseconds>(deadline - Clock::now()).count();
        return static_cast<int>(std::clamp<decltype(left)>(left, 0, 1000));
    };
    std::ostringstream limitText;
    limitText << "timed out after " << seconds << " s";

    close(in[0]), close(out[1]), close(err[1]);
    fcntl(in[1], F_SETFL, O_NONBLOCK);
    Outcome run;
    std::string* sinks[] = {&run.out, &run.err};
    const char* streams[] = {"standard output", "standard error"};
    pollfd fds[] = {{out[0], POLLIN, 0}, {err[0], POLLIN, 0}, {in[1], POLLOUT, 0}};
    std::size_t sent = 0;
    if (input.empty()) close(in[1]), fds[2].fd = -1;
    while ((fds[0].fd >= 0 || fds[1].fd >= 0) && run.stopped.empty()) {
        if (Clock::now() >= deadline) {
            run.stopped = limitText.str();
            break;
        }
        if (poll(fds, 3, millisecondsLeft()) <= 0) continue;
        for (int k = 0; k < 2; ++k) {
            if (fds[k].fd < 0 || fds[k].revents == 0) continue;
            char buffer[1 << 16];
            ssize_t got = read(fds[k].fd, buffer, sizeof buffer);
            if (got > 0) sinks[k]->append(buffer, got);
            else close(fds[k].fd), fds[k].fd = -1;
            if (sinks[k]->size() > kKeptBytes) run.stopped = std::string(streams[k]) + " passed 64 MiB";
        }
        if (fds[2].fd >= 0 && fds[2].revents != 0) {
            ssize_t put = write(in[1], input.data() + sent, input.size() - sent);
            if (put > 0) sent += put;
            if (put < 0 || sent == input.size()) close(in[1]), fds[2].fd = -1;
        }
    }
    for (const pollfd& open : fds)
        if (open.fd >= 0) close(open.fd);
    // Both streams closed: the program has ended, or is about to, unless it
    // closed them and carries on.
    int status = 0;
    if (run.stopped.empty() &&
        !started.waitUntil(std::chrono::time_point_cast<Clock::duration>(deadline), &status))
        run.stopped = limitText.str();
    if (!run.stopped.empty()) {
        started.end();
        started.wait(&status);
        std::string tail = run.out.substr(run.out.size() - std::min<std::size_t>(run.out.size(), 160));
        ADD_FAILURE() << program << " " << run.stopped << " and was killed; its standard output ends ..."
                      << ::testing::PrintToString(tail);
    }
    run.status = WIFEXITED(status) ? WEXITSTATUS(status) : 128 + WTERMSIG(status);
    run.out = asLineFeeds(std::move(run.out));
    run.err = asLineFeeds(std::move(run.err));
    return run;
}

std::string slurp(const fs::path& file) {
    std::ifstream in(file, std::ios::binary);
    std::ostringstream all;
    all << in.rdbuf();
    return all.str();
}

std::string withoutCommands(std::string text) {
    for (const char* command : {"[cls]\n", "[pause]\n", "[PAUSE]\n", "[exit]\n"}) {
        std::string mark = command;
        for (auto at = text.find(mark); at != std::string::npos; at = text.find(mark, at))
            text.erase(at, mark.size());
    }
    return text;
}

// In update mode: file holds text, or is gone when present is false.
// Written only when it changes, through a rename, since a case's two tests
// may update it at once.
void rewrite(const fs::path& file, const std::string& text, bool present) {
    if (!present) {
        fs::remove(file);
        return;
    }
    if (fs::exists(file) && slurp(file) == text) return;
    fs::path fresh = file;
    fresh += ".new-" + std::to_string(getpid());
    std::ofstream(fresh, std::ios::binary) << text;
    fs::rename(fresh, file);
}

// In update mode: run's output, error and status become the expected files
// STEM.out, STEM.err and STEM.status.
void rewriteExpected(const Outcome& run, const fs::path& stem) {
    if (!run.stopped.empty()) return;  // the run has failed; nothing to keep
    auto with = [&](const char* extension) { return fs::path(stem).replace_extension(extension); };
    rewrite(with(".out"), run.out, true);
    rewrite(with(".err"), run.err, !run.err.empty());
    rewrite(with(".status"), std::to_string(run.status) + "\n", run.status != 0);
}

// Like EXPECT_EQ, but shows only where the texts part, not megabytes.
void expectSame(const std::string& actual, const std::string& expected, const char* what) {
    if (actual == expected) return;
    std::size_t at = 0;
    while (at < actual.size() && at < expected.size() && actual[at] == expected[at]) ++at;
    std::size_t from = at < 80 ? 0 : at - 80;
    ADD_FAILURE() << what << " differs at byte " << at << " (lengths " << actual.size() << " and expected "
                  << expected.size() << ")\n  actual:   ..."
                  << ::testing::PrintToString(actual.substr(from, 160)) << "\n  expected: ..."
                  << ::testing::PrintToString(expected.substr(from, 160));
}

// A fresh working directory for each test, removed afterwards.
class Scratch : public scratch_run::Scratch {
protected:
    void writeDataFile(const std::string& content) const { write("telelist.dat", content); }
};

struct Dialogue {
    fs::path stem;  // cases/GROUP/NAME, without the extension
};

void PrintTo(const Dialogue& dialogue, std::ostream* os) {
    *os << fs::relative(dialogue.stem, CASES_DIR).string();
}

std::vector<Dialogue> allDialogues() {
    std::vector<Dialogue> found;
    for (const auto& group : fs::directory_iterator(CASES_DIR))
        if (group.is_directory())
            for (const auto& file : fs::directory_iterator(group.path()))
                if (file.path().extension() == ".in")
                    found.push_back({fs::path(file.path()).replace_extension()});
    std::sort(found.begin(), found.end(), [](auto& a, auto& b) { return a.stem < b.stem; });
    return found;
}

class DialogueTest : public Scratch, public ::testing::WithParamInterface<Dialogue> {
protected:
    void check(const std::string& program, bool commandsShown) {
        const fs::path& stem = GetParam().stem;
        fs::path data = stem.parent_path() / "telelist.dat";
        if (fs::exists(data)) fs::copy_file(data, dir / "telelist.dat");
        auto with = [&](const char* extension) { return fs::path(stem).replace_extension(extension); };
        std::string input = slurp(with(".in"));
        if (updating()) rewriteExpected(runProgram(kRecordingProgram, dir, input), stem);
        std::string expected = slurp(with(".out"));
        Outcome run = runProgram(program, dir, input);
        if (!run.stopped.empty()) return;
        expectSame(run.out, commandsShown ? expected : withoutCommands(expected), "standard output");
        expectSame(run.err, fs::exists(with(".err")) ? slurp(with(".err")) : "", "standard error");
        EXPECT_EQ(run.status, fs::exists(with(".status")) ? std::stoi(slurp(with(".status"))) : 0);
    }
};

TEST_P(DialogueTest, RealProgram) { check(kProgram, false); }
TEST_P(DialogueTest, ConsoleCommandOrder) { check(kRecordingProgram, true); }

INSTANTIATE_TEST_SUITE_P(Cases, DialogueTest, ::testing::ValuesIn(allDialogues()), [](const auto& info) {
    std::string name =
        info.param.stem.parent_path().filename().string() + "_" + info.param.stem.filename().string();
    for (char& c : name)
        if (!isalnum(static_cast<unsigned char>(c))) c = '_';
    return name;
});

// 100,000 screens in one run, with a stack far too small for a chain of
// nested calls per screen.
TEST_F(Scratch, LongSessionRunsInSmallStack) {
    writeDataFile("");  // an empty directory, without a message
    std::string emptyList;
    for (int line = 1; line <= 16; ++line) emptyList += "\n" + std::to_string(line) + ")\t, ; 0 ";
    emptyList += "\n\n";
    std::string input, expected = kStart + kMainMenu;
    for (int round = 0; round < 25000; ++round) {  // four screens a round
        input += "3\n1\n3\n";
        expected += emptyList + kMainMenu + kNameMenu + kMainMenu;
    }
    input += "4\n";
    Outcome run = runProgram(kProgram, dir, input, 256 * 1024, {}, kLongRun);
    EXPECT_EQ(run.status, 0);
    expectSame(run.out, expected, "standard output");
    EXPECT_EQ(run.err, "");
}

// A name of the longest a data file may hold, found by a typed name of that
// length; a 10 MB name typed at the prompt, and 10 MB of digits as a menu
// reply (what is typed has no limit).
TEST_F(Scratch, LongestFieldAndTenMegabyteReplies) {
    const std::string name(65536, 'x'), typed(10 << 20, 'y'), digits(10 << 20, '9');
    writeDataFile("Ann " + name + " 312 555-0101\nBob Jones 415 555-0102\n");
    Outcome run =
        runProgram(kProgram, dir, digits + "\n1\n2\n" + name + "\n2\n" + typed + "\n3\n4\n", 0, {}, kLongRun);
    EXPECT_EQ(run.status, 0);
    expectSame(run.out,
               kStart + kMainMenu + kInvalid + kMainMenu + kNameMenu + kLastNamePrompt +
                   "\n\nSearching for '" + name + "' ...\n\n\nMatch Found:\n - " + name +
                   ", Ann; (312) 555-0101\n\n\n" + kNameMenu + kLastNamePrompt + "\n\nSearching for '" +
                   typed + "' ...\n\n\nNo match for '" + typed + "' found...\n\n\n" + kNameMenu + kMainMenu,
               "standard output");
    EXPECT_EQ(run.err, "");
}

// telelist-check on the telelist.dat of each case folder that holds a
// telelist-check.out: standard output (the findings and the summary) must
// be telelist-check.out exactly, standard error telelist-check.err (empty
// when absent), and the exit status telelist-check.status (0 when absent).
class CheckCaseTest : public Scratch, public ::testing::WithParamInterface<fs::path> {};

std::vector<fs::path> allCheckCases() {
    std::vector<fs::path> found;
    for (const auto& group : fs::directory_iterator(CASES_DIR))
        if (fs::exists(group.path() / "telelist-check.out")) found.push_back(group.path());
    std::sort(found.begin(), found.end());
    return found;
}

TEST_P(CheckCaseTest, FindingsAndStatus) {
    const fs::path& folder = GetParam();
    if (fs::exists(folder / "telelist.dat")) fs::copy_file(folder / "telelist.dat", dir / "telelist.dat");
    auto expected = [&](const char* extension) {
        fs::path file = folder / (std::string("telelist-check") + extension);
        return fs::exists(file) ? slurp(file) : "";
    };
    Outcome run = runProgram(kCheckProgram, dir, "");
    if (updating()) rewriteExpected(run, folder / "telelist-check");
    if (!run.stopped.empty()) return;
    expectSame(run.out, expected(".out"), "standard output");
    expectSame(run.err, expected(".err"), "standard error");
    std::string status = expected(".status");
    EXPECT_EQ(run.status, status.empty() ? 0 : std::stoi(status));
}

INSTANTIATE_TEST_SUITE_P(Cases, CheckCaseTest, ::testing::ValuesIn(allCheckCases()), [](const auto& info) {
    std::string name = info.param.filename().string();
    for (char& c : name)
        if (!isalnum(static_cast<unsigned char>(c))) c = '_';
    return name;
});

// The offset of the first byte of text that is not printable UTF-8 (a
// control character other than the line end, or bytes that are not UTF-8),
// or npos; judged by the C library's own UTF-8 decoding.
std::size_t firstUnprintable(const std::string& text) {
    locale_t utf8 = newlocale(LC_CTYPE_MASK, "C.UTF-8", nullptr);
    if (utf8 == nullptr) ADD_FAILURE() << "no C.UTF-8 locale";
    locale_t old = uselocale(utf8);
    std::mbstate_t state{};
    std::size_t at = 0;
    while (at < text.size()) {
        wchar_t c = 0;
        std::size_t length = std::mbrtowc(&c, text.data() + at, text.size() - at, &state);
        if (length == 0) length = 1;  // a NUL byte
        if (length > text.size() - at || c == 0 || (std::iswcntrl(static_cast<wint_t>(c)) && c != L'\n'))
            break;
        at += length;
    }
    uselocale(old);
    freelocale(utf8);
    return at < text.size() ? at : std::string::npos;
}

// A problem both programs report is worded once: each start-up line of the
// directory's about the file, in the expected standard error of a
// dialogue, is where telelist-check reports the same problem, with the same
// severity word and wording (to which the checker may add).
TEST(SharedWording, DirectoryLinesAreCheckerFindings) {
    const std::regex startup(R"(telelist\.dat:(\d+): (error|warning): (.*) \(run telelist-check\))");
    int compared = 0;
    for (const fs::path& folder : allCheckCases()) {
        std::string findings = slurp(folder / "telelist-check.out");
        for (const auto& file : fs::directory_iterator(folder)) {
            if (file.path().extension() != ".err" || file.path().stem() == "telelist-check") continue;
            std::istringstream lines(slurp(file.path()));
            for (std::string line; std::getline(lines, line);) {
                std::smatch said;
                if (!std::regex_match(line, said, startup)) continue;
                ++compared;
                const std::regex finding(
                    "(^|\n)telelist\\.dat:" + said[1].str() + ":\\d+: " + said[2].str() + ": " +
                    std::regex_replace(said[3].str(), std::regex(R"([.^$|()\[\]{}*+?\\])"), R"(\$&)"));
                EXPECT_TRUE(std::regex_search(findings, finding))
                    << file.path() << " says\n"
                    << line << "\nwhich telelist-check does not:\n"
                    << findings;
            }
        }
    }
    EXPECT_GE(compared, 15);  // every kind of problem, in several folders
}

// Whatever a data file holds, telelist-check's report is printable UTF-8:
// no control byte but the line end, no C1 control, no byte outside a UTF-8
// sequence. The files: each case folder's, and each fuzzing input both
// whole and as the data file the fuzz target makes of it.
TEST_F(Scratch, CheckReportIsPrintableUtf8) {
    std::vector<std::string> files;
    for (const fs::path& folder : allCheckCases())
        if (fs::exists(folder / "telelist.dat")) files.push_back(slurp(folder / "telelist.dat"));
    for (const char* inputs : {"corpus/whole_program", "regressions/whole_program"}) {
        for (const auto& input : fs::directory_iterator(fs::path(FUZZ_INPUTS_DIR) / inputs)) {
            std::string bytes = slurp(input.path());
            files.push_back(bytes);
            files.push_back(bytes.substr(0, bytes.find('\xFF')));
        }
    }
    ASSERT_GT(files.size(), 80u);
    for (const std::string& bytes : files) {
        std::ofstream(dir / "telelist.dat", std::ios::binary | std::ios::trunc) << bytes;
        Outcome run = runProgram(kCheckProgram, dir, "");
        std::string report = run.out + run.err;
        std::size_t bad = firstUnprintable(report);
        ASSERT_EQ(bad, std::string::npos)
            << "at byte " << bad << " of the report on a file of " << bytes.size() << " bytes:\n"
            << report;
    }
}

// Whatever a file name, a field or an argument holds, each line a tool
// writes about it is short and printable: a 100,000-byte file name, fields
// of 64 KiB of control bytes, a 17th entry's first.
TEST_F(Scratch, MessagesStayShort) {
    if (kProgram != TELEDIR_PROGRAM) GTEST_SKIP() << "the other tools are those built here";
    const std::string name(100000, 'n'), controls(65536, '\x01');
    std::string fields, sixteen;
    for (int entry = 0; entry < 2; ++entry)
        fields += controls + " " + controls + " " + std::string(65533, '0') + "312 " + controls + "\n";
    for (int entry = 0; entry < 16; ++entry) sixteen += "Ann Smith 312 555-0101\n";
    struct Run {
        std::string program;
        std::vector<std::string> args;
        std::string data;  // telelist.dat
        bool report;       // standard output is a report too
    };
    const std::string check = CHECK_PROGRAM, convert = CONVERT_PROGRAM, query = QUERY_PROGRAM;
    for (const Run& run :
         {Run{check, {name}, "", false}, Run{check, {}, fields, true},
          Run{query, {"-f", name, "Smith"}, "", false}, Run{query, {"--why", name}, fields, false},
          Run{convert, {"--to", "vcard", name}, "", false}, Run{convert, {name + ".vcf"}, "", false},
          Run{convert, {"--to", "csv", "-o", name}, fields, false},
          Run{convert, {"--to", "vcard"}, fields, false},
          Run{kProgram, {}, sixteen + controls + " Smith 312 555-0101\n", false}}) {
        SCOPED_TRACE(run.program + (run.args.empty() ? "" : " " + run.args.front().substr(0, 20)) +
                     (run.data.empty() ? "" : " on fields"));
        writeDataFile(run.data);
        Outcome ran = runProgram(run.program, dir, "3\n4\n", 0, run.args, kLongRun);
        std::istringstream lines(ran.err + (run.report ? ran.out : ""));
        int count = 0;
        for (std::string line; std::getline(lines, line); ++count) {
            EXPECT_LT(line.size(), 400u) << line.substr(0, 400);
            EXPECT_EQ(firstUnprintable(line), std::string::npos) << line.substr(0, 400);
        }
        EXPECT_GT(count, 0);
    }
}

// A file named on the command line, options, and wrong arguments.
TEST_F(Scratch, CheckCommandLine) {
    std::ofstream(dir / "mine.dat") << "Ann Smith 31 555-0187\n";
    Outcome named = runProgram(kCheckProgram, dir, "", 0, {"mine.dat"});
    EXPECT_EQ(named.out,
              "mine.dat:1:11: warning: area code \"31\" is not three digits\n"
              "mine.dat: 1 entry loaded, 0 errors, 1 warning\n");
    EXPECT_EQ(named.status, 0);
    EXPECT_EQ(runProgram(kCheckProgram, dir, "", 0, {"--", "mine.dat"}).out, named.out);

    Outcome help = runProgram(kCheckProgram, dir, "", 0, {"--help"});
    EXPECT_EQ(help.out.rfind("Usage: telelist-check [FILE]\n", 0), 0u) << help.out;
    EXPECT_EQ(help.status, 0);
    Outcome version = runProgram(kCheckProgram, dir, "", 0, {"--version"});
    EXPECT_EQ(version.out, "telelist-check (telephone directory) 1.0.0\n");
    EXPECT_EQ(version.status, 0);

    struct Wrong {
        std::vector<std::string> args;
        std::string complaint;
    };
    for (const Wrong& wrong :
         {Wrong{{"--frobnicate"}, "unrecognized option '--frobnicate'"},
          Wrong{{"-v"}, "invalid option -- 'v'"}, Wrong{{"a.dat", "b.dat"}, "extra operand 'b.dat'"},
          Wrong{{"", ""}, "extra operand ''"},
          Wrong{{"a.dat", "\x1B]52;c;aGk=\x07"}, "extra operand '\\x1B]52;c;aGk=\\x07'"},
          Wrong{{"--\x1B[2J"}, "unrecognized option '--\\x1B[2J'"},
          Wrong{{"--help=yes"}, "option '--help' doesn't allow an argument"},
          Wrong{{"a.dat", std::string(100, 'b')}, "extra operand '" + std::string(40, 'b') + "...'"}}) {
        Outcome run = runProgram(kCheckProgram, dir, "", 0, wrong.args);
        EXPECT_EQ(run.err, std::string("telelist-check: ") + wrong.complaint +
                               "\nTry 'telelist-check --help' for more information.\n");
        EXPECT_EQ(run.out, "");
        EXPECT_EQ(run.status, 2);
    }
    Outcome folder = runProgram(kCheckProgram, dir, "", 0, {"."});
    EXPECT_EQ(folder.err, "telelist-check: .: cannot read: Is a directory\n");
    EXPECT_EQ(folder.status, 2);
    Outcome emptyName = runProgram(kCheckProgram, dir, "", 0, {""});  // not ./telelist.dat
    EXPECT_EQ(emptyName.err, "telelist-check: : cannot open: No such file or directory\n");
    EXPECT_EQ(emptyName.status, 2);
    // Linux: opens, but a read at its start fails. A Windows build under
    // wine has no such file.
    if (fs::exists("/proc/self/mem") && kCheckProgram == CHECK_PROGRAM) {
        Outcome unreadable = runProgram(kCheckProgram, dir, "", 0, {"/proc/self/mem"});
        EXPECT_EQ(unreadable.err, "telelist-check: /proc/self/mem: cannot read: Input/output error\n");
        EXPECT_EQ(unreadable.status, 2);
    }
}

// A standard stream that fails: a read error on standard input is no end
// of input, and a report that cannot be written is no report.
TEST_F(Scratch, StandardStreamErrorsFail) {
    if (kProgram != TELEDIR_PROGRAM) GTEST_SKIP() << "the streams are set up by a POSIX shell";
    writeDataFile("Ann Smith 312 555-0101\n");
    const std::string teledir = "'" + kProgram + "'", check = "'" + kCheckProgram + "'";
    struct Failing {
        std::string command;
        std::string out, err;
        int status;
    };
    const std::string cannotRead = "telephone directory: cannot read standard input\n";
    for (const Failing& failing :
         {Failing{teledir + " < .", kStart + kMainMenu + kInvalid, cannotRead, 1},
          Failing{teledir + " 0> written", kStart + kMainMenu + kInvalid, cannotRead, 1},
          Failing{check + " > /dev/full", "", "telelist-check: write error: No space left on device\n", 2},
          Failing{check + " >&-", "", "telelist-check: write error: Bad file descriptor\n", 2}}) {
        SCOPED_TRACE(failing.command);
        Outcome run = runProgram("/bin/sh", dir, "", 0, {"-c", failing.command});
        expectSame(run.out, failing.out, "standard output");
        EXPECT_EQ(run.err, failing.err);
        EXPECT_EQ(run.status, failing.status);
    }
}

}  // namespace
