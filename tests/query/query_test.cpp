// telelist-query as scripts run it.
//
// Each folder under cases/ is one run in a scratch directory holding the
// folder's files: `args` gives the arguments, one a line (none when
// absent); `stdout` and `stderr` are the expected streams (empty when
// absent), `status` the exit status (0 when absent). TELEDIR_TEST_UPDATE=1
// writes the expected files from a run.
#include "scratch_run.h"

namespace {

using namespace scratch_run;

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
    Outcome result = run(commandLine(QUERY_PROGRAM, lines(slurp(folder / "args"))));
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
//  Files that cannot be read, and output that cannot be written
// ======================================================================

TEST_F(Scratch, UnreadableFileAndFullOutput) {
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

}  // namespace
