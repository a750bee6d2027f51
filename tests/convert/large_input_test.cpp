// telelist-convert importing large and hostile address books, and the
// tools reading a data file of the longest fields, each file made here of
// some MiB: the run's peak resident memory (the child's ru_maxrss from
// wait4), its processor time and the size of its report. Each promises at
// most 16 MiB and linear time whatever the file.
#include <fcntl.h>
#include <gtest/gtest.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <functional>
#include <sstream>
#include <string>
#include <string_view>

#include "scratch_run.h"
#include "started_program.h"

namespace fs = std::filesystem;
using scratch_run::slurp;

namespace {

constexpr std::size_t kMiB = std::size_t{1} << 20;
// The hostile part of each input; half as much where it is many small
// contacts, which a Debug build reads slowly.
constexpr std::size_t kSize = 8 * kMiB;
[[maybe_unused]] constexpr long kMemoryLimitKiB = 16 * 1024;  // unused where sanitized
// Processor seconds: each run takes a second or two at most in a Debug
// build with coverage counts; one quadratic in its input takes minutes. The
// sanitizers' runtime makes each of the 10,000 opens of a folder of cards
// slow (some 15 s in all), so there the limit is looser. A run is killed a
// little past the limit.
#ifdef CONVERT_TEST_SANITIZED
constexpr double kTimeLimit = 45;
#else
constexpr double kTimeLimit = 10;
#endif
constexpr std::size_t kReportLimit = 4096;

// An input file written a piece at a time: the test's own resident memory,
// which a forked child's peak starts from, stays small.
class Input {
public:
    explicit Input(const fs::path& path) : out_(path, std::ios::binary) {}
    Input& operator<<(std::string_view text) {
        out_.write(text.data(), static_cast<std::streamsize>(text.size()));
        written_ += text.size();
        return *this;
    }
    // piece over and over, as many whole times as fit in bytes.
    Input& repeat(std::string_view piece, std::size_t bytes) {
        std::string block;
        for (std::size_t k = 0; k < 65536 / piece.size(); ++k) block += piece;
        for (std::size_t left = bytes / piece.size() * piece.size(); left > 0;) {
            std::size_t now = std::min(left, block.size());
            *this << std::string_view(block).substr(0, now);
            left -= now;
        }
        return *this;
    }
    // Lines made by line(n), n = 0, 1, ..., until bytes are written.
    Input& lines(const std::function<std::string(long)>& line, std::size_t bytes) {
        for (long n = 0; written_ < bytes; ++n) *this << line(n);
        return *this;
    }

private:
    std::ofstream out_;
    std::size_t written_ = 0;
};

// A phone number of its own for each n below 9000.
std::string phone(long n) { return "312 555 " + std::to_string(1000 + n % 9000); }

struct Outcome {
    int status = -1;  // exit status, or 128 + signal
    long peakKiB = 0;
    double seconds = 0;        // processor time, user and system
    std::size_t outLines = 0;  // line ends on standard output
    std::string err;
};

// Runs command FILE in dir; telelist-convert FILE when command is empty.
Outcome convert(const fs::path& dir, std::vector<std::string> command, const std::string& file) {
    if (command.empty()) command.emplace_back(CONVERT_PROGRAM);
    command.push_back(file);
    std::vector<char*> argv;
    for (std::string& word : command) argv.push_back(word.data());
    argv.push_back(nullptr);
    started_program::StartedProgram started([&] {
        int in = open("/dev/null", O_RDONLY);
        int out = open((dir / "out").c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0600);
        int err = open((dir / "err").c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0600);
        if (in < 0 || out < 0 || err < 0 || chdir(dir.c_str()) != 0) _exit(126);
        dup2(in, 0), dup2(out, 1), dup2(err, 2);
        rlimit cpu{static_cast<rlim_t>(kTimeLimit) + 5, static_cast<rlim_t>(kTimeLimit) + 5};
        setrlimit(RLIMIT_CPU, &cpu);
        execv(argv[0], argv.data());
    });
    Outcome run;
    int status = 0;
    rusage usage{};
    if (started.wait(&status, 0, &usage) != started.pid()) {
        ADD_FAILURE() << "cannot run " << command[0];
        return run;
    }
    run.status = WIFEXITED(status) ? WEXITSTATUS(status) : 128 + WTERMSIG(status);
    run.peakKiB = usage.ru_maxrss;
    run.seconds = static_cast<double>(usage.ru_utime.tv_sec + usage.ru_stime.tv_sec) +
                  static_cast<double>(usage.ru_utime.tv_usec + usage.ru_stime.tv_usec) / 1e6;
    // Counted a piece at a time: a result of some MiB read whole would stay
    // in the resident memory the next run's peak starts from.
    std::ifstream out(dir / "out", std::ios::binary);
    char piece[1 << 16];
    while (out.read(piece, sizeof piece) || out.gcount() > 0)
        run.outLines += static_cast<std::size_t>(std::count(piece, piece + out.gcount(), '\n'));
    run.err = slurp(dir / "err");
    return run;
}

struct Case {
    const char* name;
    const char* file;  // its extension tells the format
    std::function<void(Input&)> make;
    int status;
    const char* said;                       // on standard error
    std::size_t entries;                    // lines on standard output; kAnyLines for any number
    std::vector<std::string> command = {};  // the program and options before FILE
};

constexpr std::size_t kAnyLines = ~std::size_t{0};

void PrintTo(const Case& input, std::ostream* os) { *os << input.name; }

class LargeInput : public scratch_run::Scratch, public ::testing::WithParamInterface<Case> {};
class LargeInputFolder : public scratch_run::Scratch {};

TEST_P(LargeInput, BoundedMemoryTimeAndReport) {
    const Case& input = GetParam();
    {
        Input file(dir / input.file);
        input.make(file);
    }
    Outcome run = convert(dir, input.command, input.file);
#ifndef CONVERT_TEST_SANITIZED  // a sanitizer's runtime holds far more
    EXPECT_LE(run.peakKiB, kMemoryLimitKiB);
#endif
    EXPECT_LT(run.seconds, kTimeLimit);
    EXPECT_LE(run.err.size(), kReportLimit) << run.err.substr(0, kReportLimit);
    EXPECT_EQ(run.status, input.status) << run.err.substr(0, kReportLimit);
    EXPECT_NE(run.err.find(input.said), std::string::npos) << run.err.substr(0, kReportLimit);
    if (input.entries != kAnyLines) {
        EXPECT_EQ(run.outLines, input.entries);
    }
}

const std::string kCsvHeader = "First Name,Last Name,Phone\n";

std::string csvRow(long n) {
    std::string k = std::to_string(n);
    return "First" + k + ",Last" + k + "," + phone(n) + "\n";
}

std::string testName(const ::testing::TestParamInfo<Case>& info) { return info.param.name; }

INSTANTIATE_TEST_SUITE_P(
    Hostile, LargeInput,
    ::testing::Values(
        Case{"BlankLinesInsideACard", "blank.vcf",
             [](Input& file) {
                 file << "BEGIN:VCARD\r\nVERSION:3.0\r\nN:Smith;Ann\r\n";
                 file.repeat("\r\n", kSize) << "TEL:312 555 0101\r\nEND:VCARD\r\n";
             },
             0, "", 1},
        Case{"QuotedPrintableSoftLineBreaks", "soft.vcf",
             [](Input& file) {
                 file << "BEGIN:VCARD\r\nVERSION:2.1\r\nN;ENCODING=QUOTED-PRINTABLE:Smith;Ann=\r\n";
                 file.repeat("=\r\n", kSize) << "\r\nTEL:312 555 0101\r\nEND:VCARD\r\n";
             },
             0, "", 1},
        Case{"LongName", "name.vcf",
             [](Input& file) {
                 file << "BEGIN:VCARD\r\nVERSION:3.0\r\nN:";
                 file.repeat("A", kSize) << ";Ann\r\nTEL:312 555 0101\r\nEND:VCARD\r\n";
                 file << "BEGIN:VCARD\r\nVERSION:3.0\r\nN:Smith;Bob\r\nTEL:312 555 0102\r\nEND:VCARD\r\n";
             },
             1, "its N is longer than 262144 bytes", 1},
        Case{"LineWithoutEndVCard", "line.vcf", [](Input& file) { file.repeat("BEGIN:VCARD;", kSize); }, 1,
             "no vCard in the file", 0},
        Case{"ManySmallCards", "many.vcf",
             [](Input& file) {
                 file.lines(
                     [](long n) {
                         std::string k = std::to_string(n);
                         return "BEGIN:VCARD\r\nVERSION:3.0\r\nN:Last" + k + ";First" + k +
                                "\r\nTEL:" + phone(n) + "\r\nEND:VCARD\r\n";
                     },
                     kSize / 2);
             },
             1, "more contacts from this line on are not written either", 16},
        Case{"RepeatedPhoneColumn", "phones.csv",
             [](Input& file) {
                 file << "First Name,Last Name";
                 file.repeat(",Phone", kMiB) << "\n";
                 for (int row = 0; row < 7; ++row) {
                     file << "Ann,Smith" + std::to_string(row);
                     file.repeat(",312 555 0101", kMiB) << "\n";
                 }
             },
             0, "phone columns after the first 32 are not read", 7},
        Case{"ContactsPastTheSixteenth", "past.csv",
             [](Input& file) {
                 file << kCsvHeader;
                 file.lines(csvRow, kSize / 2);
             },
             1, "more contacts from this line on are not written either", 16},
        Case{"LineWithoutEndCsv", "line.csv", [](Input& file) { file.repeat("Phone,", kSize); }, 1,
             "no contacts: the file holds a header row and no row after it", 0},
        Case{"QuoteNeverClosed", "quote.csv",
             [](Input& file) {
                 file << kCsvHeader << "Ann,\"Smith,312 555 0100\n";
                 file.lines(csvRow, kSize / 2);
             },
             1, "2: error: a quote opened on this line is never closed within 1 MiB", 16}),
    testName);

// Google's phone type columns ("Phone 1 - Type"), one kept for each number
// read: memory does not grow with a row's length, nor time with the square
// of the header's.
INSTANTIATE_TEST_SUITE_P(GoogleTypeColumns, LargeInput,
                         ::testing::Values(Case{"ManyColumns", "types.csv",
                                                [](Input& file) {
                                                    file << "Name";
                                                    file.repeat(",Phone 1 - Type", kMiB)
                                                        << ",Phone 1 - Value\n";
                                                    for (int row = 0; row < 7; ++row) {
                                                        file << "Ann Smith" + std::to_string(row);
                                                        file.repeat(",Mobile", kMiB) << ",312 555 0101\n";
                                                    }
                                                },
                                                0, "", 7},
                                           Case{"LongFields", "long.csv",
                                                [](Input& file) {
                                                    file << "Name";
                                                    file.repeat(",Phone 1 - Type", 64 * 15)
                                                        << ",Phone 1 - Value\nAnn Smith";
                                                    for (int column = 0; column < 64; ++column)
                                                        (file << ",").repeat("Mobile ", 250000);
                                                    file << ",312 555 0101\n";
                                                },
                                                0, "", 1}),
                         testName);

// The other tools on a data file of 16 entries of the longest fields,
// whose bytes take the most room as the tool shows them: control bytes
// (escaped in four bytes each), and bytes above 127 that are not UTF-8
// (three bytes in a vCard, \u00XX and hex in JSON); each area code 64 KiB
// too, zeros before 312.
void longestEntries(Input& file, char byte) {
    for (int entry = 0; entry < 16; ++entry) {
        for (int field = 0; field < 2; ++field) file.repeat(std::string(1, byte), 65536) << " ";
        file.repeat("0", 65533) << "312 ";
        file.repeat(std::string(1, byte), 65536) << "\n";
    }
}

INSTANTIATE_TEST_SUITE_P(LongestFields, LargeInput,
                         ::testing::Values(Case{"CheckControlBytes",
                                                "telelist.dat",
                                                [](Input& file) { longestEntries(file, '\x01'); },
                                                0,
                                                "",
                                                kAnyLines,
                                                {CHECK_PROGRAM}},
                                           Case{"VCardBytesAbove127",
                                                "telelist.dat",
                                                [](Input& file) { longestEntries(file, '\x80'); },
                                                0,
                                                "bytes that are not UTF-8 are read as Windows-1252",
                                                kAnyLines,
                                                {CONVERT_PROGRAM, "--to", "vcard"}},
                                           Case{"QueryJsonBytesAbove127",
                                                "telelist.dat",
                                                [](Input& file) { longestEntries(file, '\x80'); },
                                                0,
                                                "",
                                                16,
                                                {QUERY_PROGRAM, "--json", "-f"}}),
                         testName);

// A folder of 10,000 card files, as vdirsyncer keeps an address book: read
// one file at a time, in as little memory and linear time.
TEST_F(LargeInputFolder, TenThousandCardFiles) {
    fs::create_directory(dir / "cards");
    for (long n = 0; n < 10000; ++n) {
        std::string k = std::to_string(n);
        Input(dir / "cards" / ("card" + k + ".vcf")) << "BEGIN:VCARD\r\nVERSION:3.0\r\nUID:card" + k +
                                                            "\r\nN:Last" + k + ";First" + k +
                                                            "\r\nTEL:" + phone(n) + "\r\nEND:VCARD\r\n";
    }
    Outcome run = convert(dir, {}, "cards");
#ifndef CONVERT_TEST_SANITIZED
    EXPECT_LE(run.peakKiB, kMemoryLimitKiB);
#endif
    EXPECT_LT(run.seconds, kTimeLimit);
    EXPECT_LE(run.err.size(), kReportLimit) << run.err.substr(0, kReportLimit);
    EXPECT_EQ(run.status, 1);
    // In the order of their names: card0.vcf, card1.vcf, card10.vcf...
    EXPECT_EQ(slurp(dir / "out").substr(0, 80),
              "First0 Last0 312 555-1000\nFirst1 Last1 312 555-1001\nFirst10 Last10 312 555-1010\n");
    EXPECT_NE(run.err.find("cards/card1014.vcf:1: error: 9981 more contacts"), std::string::npos)
        << run.err.substr(0, kReportLimit);
    EXPECT_EQ(run.outLines, 16u);
    std::cout << "10,000 card files: " << run.seconds << " s, " << run.peakKiB << " KiB at most\n";
}

}  // namespace
