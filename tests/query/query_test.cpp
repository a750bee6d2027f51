// telelist-query as scripts run it, and against teledir itself.
//
// Each folder under cases/ is one run in a scratch directory holding the
// folder's files: `args` gives the arguments, one a line (none when
// absent); `stdout` and `stderr` are the expected streams (empty when
// absent), `status` the exit status (0 when absent). TELEDIR_TEST_UPDATE=1
// writes the expected files from a run.
//
// For every data file of teledir's own cases, each last and first name in
// it is looked up by telelist-query and searched for in a session of the
// real teledir: the last-name search must show the one entry telelist-query
// --last does not mark, and the first-name search list what --first finds.
#include <sys/resource.h>

#include <set>

#include "scratch_run.h"
#include "screen_texts.h"

namespace {

using namespace scratch_run;
using QueryRun = Scratch;
using namespace screen_texts;

bool updating() {
    const char* update = std::getenv("TELEDIR_TEST_UPDATE");
    return update != nullptr && std::string(update) == "1";
}

std::vector<std::string> lines(const std::string& text) {
    std::vector<std::string> found;
    std::istringstream in(text);
    for (std::string line; std::getline(in, line);) found.push_back(line);
    return found;
}

class QueryCase : public Scratch, public ::testing::WithParamInterface<fs::path> {};

TEST_P(QueryCase, OutputMessagesAndStatus) {
    const fs::path& folder = GetParam();
    for (const auto& file : fs::directory_iterator(folder))
        fs::copy(file.path(), dir / file.path().filename());
    // TELEDIR_TEST_QUERY_PROGRAM names a Windows build to run instead.
    Outcome result =
        run(testedCommand("TELEDIR_TEST_QUERY_PROGRAM", QUERY_PROGRAM, lines(slurp(folder / "args"))));
    result.out = withLfEnds(result.out);
    result.err = withLfEnds(result.err);
    if (updating()) {
        fs::remove(folder / "stdout"), fs::remove(folder / "stderr"), fs::remove(folder / "status");
        if (!result.out.empty()) std::ofstream(folder / "stdout", std::ios::binary) << result.out;
        if (!result.err.empty()) std::ofstream(folder / "stderr", std::ios::binary) << result.err;
        if (result.status != 0) std::ofstream(folder / "status") << result.status << "\n";
    }
    auto expected = [&](const char* name) { return fs::exists(folder / name) ? slurp(folder / name) : ""; };
    EXPECT_EQ(result.out, expected("stdout"));
    EXPECT_EQ(result.err, expected("stderr"));
    std::string status = expected("status");
    EXPECT_EQ(result.status, status.empty() ? 0 : std::stoi(status));
}

INSTANTIATE_TEST_SUITE_P(Cases, QueryCase, ::testing::ValuesIn(foldersUnder(CASES_DIR)), folderTestName);

// ======================================================================
//  Agreement with teledir's two name searches
// ======================================================================

// One entry as --tsv gives it: first, last, area code, number and, after
// --last, whether teledir's last-name search shows it.
std::vector<std::string> tsvFields(const std::string& line) {
    std::vector<std::string> fields(1);
    for (std::size_t k = 0; k < line.size(); ++k) {
        if (line[k] == '\t') {
            fields.emplace_back();
        } else if (line[k] == '\\' && line.compare(k + 1, 1, "x") == 0) {
            fields.back() += static_cast<char>(std::stoi(line.substr(k + 2, 2), nullptr, 16));
            k += 3;
        } else if (line[k] == '\\' && k + 1 < line.size()) {
            char escape = line[++k];
            fields.back() += escape == 't' ? '\t' : escape == 'n' ? '\n' : escape == 'r' ? '\r' : escape;
        } else {
            fields.back() += line[k];
        }
    }
    return fields;
}

class Agreement : public Scratch, public ::testing::WithParamInterface<fs::path> {
protected:
    std::vector<std::vector<std::string>> query(const std::vector<std::string>& args) const {
        Outcome found = run(commandLine(QUERY_PROGRAM, args));
        // A file that is no data file (UTF-16, an address book) loads nothing, with status 2.
        bool noDataFile = found.status == 2 && found.out.empty() &&
                          found.err.find("which the directory cannot read") != std::string::npos;
        EXPECT_TRUE(found.status <= 1 || noDataFile) << found.err;
        std::vector<std::vector<std::string>> entries;
        for (const std::string& line : lines(found.out)) entries.push_back(tsvFields(line));
        return entries;
    }
};

TEST_P(Agreement, NameSearchesShowWhatTelelistQueryFinds) {
    fs::copy_file(GetParam() / "telelist.dat", dir / "telelist.dat");
    if (run(shellQuoted(TELEDIR_PROGRAM), "4\n").status != 0) GTEST_SKIP() << "teledir does not start";
    std::set<std::string> lastNames, firstNames;
    for (const auto& entry : query({"--tsv"})) {
        // A NUL byte cannot be an argument; an empty name cannot be typed.
        if (!entry[0].empty() && entry[0].find('\0') == std::string::npos) firstNames.insert(entry[0]);
        if (!entry[1].empty() && entry[1].find('\0') == std::string::npos) lastNames.insert(entry[1]);
    }
    // One session: each last name, then each first name, from the
    // name-search menu; the screens it must show, made from the lookups.
    std::string input = "1\n", expected = kStart + kMainMenu + kNameMenu;
    for (const std::string& name : lastNames) {
        input += "2\n" + name + "\n";
        expected += kLastNamePrompt + "\n\nSearching for '" + name + "' ...\n";
        std::vector<std::vector<std::string>> found = query({"--tsv", "--last=" + name});
        auto shown = std::find_if(found.begin(), found.end(), [](auto& entry) { return entry[4] == "true"; });
        ASSERT_NE(shown, found.end()) << name;
        EXPECT_EQ(std::count_if(found.begin(), found.end(), [](auto& entry) { return entry[4] == "true"; }),
                  1);
        const std::vector<std::string>& entry = *shown;
        expected += "\n\nMatch Found:\n - " + entry[1] + ", " + entry[0] +
                    (entry[3].empty() ? "; phone number not available" : "; (" + entry[2] + ") " + entry[3]) +
                    "\n\n\n" + kNameMenu;
    }
    for (const std::string& name : firstNames) {
        input += "1\n" + name + "\n";
        expected += kFirstNamePrompt + "\n\nSearching for '" + name + "' ...\n\n\n";
        int match = 0;
        for (const auto& entry : query({"--tsv", "--first=" + name}))
            expected += std::to_string(++match) + ")\t" + entry[1] + ", " + entry[0] + " - (" + entry[2] +
                        ") " + entry[3] + "\n";
        EXPECT_GT(match, 0) << name;
        expected += kNameMenu;
    }
    input += "3\n4\n";
    expected += kMainMenu;
    Outcome session = run(shellQuoted(TELEDIR_PROGRAM), input);
    EXPECT_EQ(session.status, 0);
    EXPECT_EQ(session.out, expected);
}

INSTANTIATE_TEST_SUITE_P(DirectoryCases, Agreement, ::testing::ValuesIn([] {
                             std::vector<fs::path> found = foldersUnder(DIRECTORY_CASES_DIR);
                             found.erase(std::remove_if(found.begin(), found.end(),
                                                        [](const fs::path& folder) {
                                                            return !fs::exists(folder / "telelist.dat");
                                                        }),
                                         found.end());
                             return found;
                         }()),
                         folderTestName);

// ======================================================================
//  Files that cannot be read, and output that cannot be written
// ======================================================================

TEST_F(QueryRun, UnreadableFileAndFullOutput) {
    struct Failing {
        std::string command;
        std::string err;
    };
    const std::string query = shellQuoted(QUERY_PROGRAM);
    write("telelist.dat", "Ann Smith 312 555-0101\n");
    fs::create_directory(dir / "folder");
    for (const Failing& failing :
         {Failing{query + " -f missing.dat",
                  "telelist-query: missing.dat: cannot open: No such file or directory\n"},
          Failing{query + " --file=folder", "telelist-query: folder: cannot read: Is a directory\n"},
          Failing{query + " -f /proc/self/mem",
                  "telelist-query: /proc/self/mem: cannot read: Input/output error\n"},
          Failing{query + " > /dev/full", "telelist-query: write error: No space left on device\n"},
          Failing{query + " >&-", "telelist-query: write error: Bad file descriptor\n"}}) {
        SCOPED_TRACE(failing.command);
        Outcome run = this->run(failing.command);
        EXPECT_EQ(run.out, "");
        EXPECT_EQ(run.err, failing.err);
        EXPECT_EQ(run.status, 2);
    }
}

// ======================================================================
//  Reading on past the load
// ======================================================================

// --why reads the rest of the file in little memory, whatever it holds: here
// a word of 16 MB before the name, which the program must not keep.
TEST_F(QueryRun, ReadingOnPastTheLoadStaysSmall) {
#if defined(__SANITIZE_ADDRESS__)  // gcc's; clang's below
    GTEST_SKIP() << "the sanitizers' own memory would be measured";
#elif defined(__has_feature)
#if __has_feature(address_sanitizer)
    GTEST_SKIP() << "the sanitizers' own memory would be measured";
#endif
#endif
    Outcome found =
        run("{ printf 'Ann Smith x 1\\n'; head -c 16000000 /dev/zero | tr '\\0' w; printf ' Zed\\n'; } "
            "> telelist.dat && " +
            commandLine(QUERY_PROGRAM, {"--why", "Zed"}));
    EXPECT_EQ(found.status, 1);
    EXPECT_NE(found.err.find("\"Zed\" is on line 2, past where the load stopped: line 1, column 11"),
              std::string::npos)
        << found.err;
    rusage usage{};
    ASSERT_EQ(getrusage(RUSAGE_CHILDREN, &usage), 0);
    EXPECT_LT(usage.ru_maxrss, 8 * 1024) << "KiB at the most";
}

// A read error past where the load stopped, met by --why reading on for the
// name: the file could not be searched, so the run fails (status 2) and says
// why, rather than telling the name is not there.
TEST_F(QueryRun, ReadErrorPastTheLoadFails) {
    std::string file;
    for (int k = 1; k <= 17; ++k) file += "Person" + std::to_string(k) + " Name 212 555-0100\n";
    while (file.size() < 300000) file += "Pat Nobody 212 555-0199\n";  // past the first chunks
    write("telelist.dat", file + "Zed Quinn 212 555-0118\n");
    const char* asan = std::getenv("ASAN_OPTIONS");
    Outcome failed =
        run("LD_PRELOAD=" + shellQuoted(FAILING_READ) + " TELEDIR_FAIL_READ_AT=200000 ASAN_OPTIONS=" +
            shellQuoted(std::string(asan != nullptr ? asan : "") + ":verify_asan_link_order=0") + " " +
            commandLine(QUERY_PROGRAM, {"--why", "Quinn"}));
    EXPECT_EQ(failed.status, 2) << failed.err;
    EXPECT_NE(failed.err.find("telelist-query: telelist.dat: cannot read: Input/output error\n"),
              std::string::npos)
        << failed.err;
}

// A file that never ends, a device or a pipe that streams on: --why looks
// through the first 64 MiB past the load and says so. timeout(1) ends the
// run, with its process group (the pipe's writer too), should it go on:
// within the test's own limit, and even when the test is ended first.
TEST_F(QueryRun, ReadingOnPastTheLoadEndsOnAnEndlessFile) {
    // 64 MiB take a second or two of processor time in a build without
    // optimisation: the allowance of these runs, given back after them.
    struct CpuAllowance {
        const char* before = std::getenv("TELEDIR_TEST_CPU_SECONDS");
        std::string kept = before != nullptr ? before : "";
        CpuAllowance() { setenv("TELEDIR_TEST_CPU_SECONDS", "60", 1); }
        ~CpuAllowance() {
            if (before != nullptr) setenv("TELEDIR_TEST_CPU_SECONDS", kept.c_str(), 1);
            else unsetenv("TELEDIR_TEST_CPU_SECONDS");
        }
    } allowance;
    const std::string why = "exec " + commandLine(QUERY_PROGRAM, {"--why", "-f", "data", "Zed"});
    const std::string fifo = "mkfifo data && { { printf 'Ann Smith x 1\\n'; exec yes " +
                             std::string(4000, 'w') + "; } > data & } && ";
    for (const std::string& source : {std::string("ln -s /dev/urandom data && "), fifo}) {
        SCOPED_TRACE(source.substr(0, 60));
        fs::remove(dir / "data");
        Outcome run = this->run("timeout -k 1 14 sh -c " + shellQuoted(source + why));
        EXPECT_EQ(run.status, 1);
        EXPECT_NE(run.err.find("; \"Zed\" is not in the first 64 MiB past where the load stopped, up to "
                               "line "),
                  std::string::npos)
            << run.err.substr(0, 2000);
    }
}

// After a field too long nothing more is read: --why says the rest may hold
// the name.
TEST_F(QueryRun, FieldTooLongLeavesTheRestUnread) {
    write("telelist.dat", "Ann Smith 312 555-0101\n" + std::string(65537, 'x') +
                              " Smith 312 555-0102\nBob Jones 212 555-0103\n");
    Outcome found = run(commandLine(QUERY_PROGRAM, {"--why", "Jones"}));
    const std::string stopped =
        "line 2, column 1: a field of more than 65536 bytes, far beyond any name or number; the directory "
        "stops "
        "loading here: this entry keeps only the fields before it, and the rest of the file is not read\n";
    EXPECT_EQ(found.err,
              "telelist.dat:2:1: error: a field of more than 65536 bytes, far beyond any name or number; "
              "the directory stops loading here: this entry keeps only the fields before it, and the rest "
              "of the file is not read\n"
              "no entry \"Jones\"; the rest of the file, which may hold it, is not read: the load stopped "
              "at " +
                  stopped);
    EXPECT_EQ(found.status, 1);
}

}  // namespace
