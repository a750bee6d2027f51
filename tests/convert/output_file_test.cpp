// writeOutputFile on the kinds of file -o may name, with the owner,
// permissions and signals the replacement has to get right.
#include "output_file.h"

#include <grp.h>
#include <gtest/gtest.h>
#include <signal.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <sys/sysmacros.h>
#include <sys/wait.h>
#include <unistd.h>

#include <filesystem>
#include <fstream>
#include <memory>
#include <sstream>
#include <string>
#include <thread>
#include <vector>

#include "scratch_run.h"
#include "started_program.h"

namespace {

using scratch_run::slurp;
namespace fs = std::filesystem;

struct stat statusOf(const fs::path& file) {
    struct stat status {};
    EXPECT_EQ(lstat(file.c_str(), &status), 0) << file;
    return status;
}

class OutputFile : public scratch_run::Scratch {
protected:
    // The names in folder, sorted: what a run leaves behind.
    std::vector<std::string> names(const fs::path& folder) const {
        std::vector<std::string> found;
        for (const auto& file : fs::directory_iterator(folder))
            found.push_back(file.path().filename().string());
        std::sort(found.begin(), found.end());
        return found;
    }
    std::string at(const std::string& name) const { return (dir / name).string(); }
};

TEST_F(OutputFile, NewFileGetsTheUmasksMode) {
    for (mode_t mask : {mode_t{022}, mode_t{077}}) {
        mode_t before = umask(mask);
        EXPECT_EQ(writeOutputFile(at("new.dat"), "Ann Smith 312 555-0101\n"), "");
        umask(before);
        EXPECT_EQ(statusOf(dir / "new.dat").st_mode & 07777, 0666 & ~mask);
        fs::remove(dir / "new.dat");
    }
}

TEST_F(OutputFile, FolderThatCannotHoldTheFileFails) {
    EXPECT_EQ(writeOutputFile(at("no-such-folder/new.dat"), "x"),
              "cannot create a temporary file in its folder: No such file or directory");
    // A path the system takes, in a folder whose own path is too long for more.
    std::string deep = at("no-such-folder/");
    deep.append(4090 - deep.size(), 'd').append("/x");
    EXPECT_EQ(writeOutputFile(deep, "x"), "cannot create a temporary file in its folder: File name too long");
    write("file", "");
    EXPECT_EQ(writeOutputFile(at("file/new.dat"), "x"), "cannot write: Not a directory");
    EXPECT_EQ(names(dir), std::vector<std::string>{"file"});
}

TEST_F(OutputFile, ReplacementKeepsPermissionBitsButNotSetId) {
    const std::pair<mode_t, mode_t> modes[] = {{0640, 0640}, {0755, 0755}, {04755, 0755}, {02750, 0750}};
    for (const auto& [before, after] : modes) {
        write("out.dat", "Old Entry 312 555-0101\n");
        ASSERT_EQ(chmod(at("out.dat").c_str(), before), 0);
        EXPECT_EQ(writeOutputFile(at("out.dat"), "New Entry 312 555-0102\n"), "");
        EXPECT_EQ(statusOf(dir / "out.dat").st_mode & 07777, after) << std::oct << before;
        EXPECT_EQ(slurp(dir / "out.dat"), "New Entry 312 555-0102\n");
    }
    EXPECT_EQ(names(dir), std::vector<std::string>{"out.dat"});
}

TEST_F(OutputFile, RootKeepsAnotherUsersOwnership) {
    if (geteuid() != 0) GTEST_SKIP() << "only root may give a file to another user";
    write("out.dat", "Old\n");
    ASSERT_EQ(chown(at("out.dat").c_str(), 4321, 8765), 0);
    EXPECT_EQ(writeOutputFile(at("out.dat"), "New\n"), "");
    struct stat status = statusOf(dir / "out.dat");
    EXPECT_EQ(status.st_uid, 4321u);
    EXPECT_EQ(status.st_gid, 8765u);
}

// A user who may replace root's file (the folder is theirs) cannot give
// the new one root's group: that group's bits fall to those of others.
TEST_F(OutputFile, GroupNotKeptGetsNoMoreThanOthers) {
    if (geteuid() != 0) GTEST_SKIP() << "needs root to run as another user";
    const uid_t nobody = 65534;
    ASSERT_EQ(chown(dir.c_str(), nobody, nobody), 0);
    write("out.dat", "Old\n");
    ASSERT_EQ(chmod(at("out.dat").c_str(), 0664), 0);
    started_program::StartedProgram child([&] {
        bool asNobody = setgroups(0, nullptr) == 0 && setgid(nobody) == 0 && setuid(nobody) == 0;
        _exit(asNobody && writeOutputFile(at("out.dat"), "New\n").empty() ? 0 : 1);
    });
    int status = 0;
    ASSERT_EQ(child.wait(&status), child.pid());
    EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0);
    struct stat replaced = statusOf(dir / "out.dat");
    EXPECT_EQ(replaced.st_uid, nobody);
    EXPECT_EQ(replaced.st_mode & 07777, 0644u);
    EXPECT_EQ(slurp(dir / "out.dat"), "New\n");
}

TEST_F(OutputFile, SymbolicLinksStayAndTheFileTheyNameIsReplaced) {
    fs::create_directories(dir / "a" / "b");
    write("a/b/real.dat", "Old\n");
    fs::create_symlink(dir / "a" / "b" / "real.dat", dir / "absolute");
    fs::create_symlink("a/step", dir / "relative");  // relative -> a/step -> b/real.dat
    fs::create_symlink("b/real.dat", dir / "a" / "step");
    for (const char* link : {"absolute", "relative"}) {
        EXPECT_EQ(writeOutputFile(at(link), link), "");
        EXPECT_EQ(slurp(dir / "a" / "b" / "real.dat"), link);
    }
    EXPECT_TRUE(fs::is_symlink(dir / "absolute"));
    EXPECT_EQ(fs::read_symlink(dir / "relative"), "a/step");
    EXPECT_EQ(fs::read_symlink(dir / "a" / "step"), "b/real.dat");
    EXPECT_EQ(names(dir / "a" / "b"), std::vector<std::string>{"real.dat"});

    fs::create_symlink("a/new.dat", dir / "dangling");
    EXPECT_EQ(writeOutputFile(at("dangling"), "New\n"), "");
    EXPECT_TRUE(fs::is_symlink(dir / "dangling"));
    EXPECT_EQ(slurp(dir / "a" / "new.dat"), "New\n");

    fs::create_symlink("loop2", dir / "loop1");
    fs::create_symlink("loop1", dir / "loop2");
    EXPECT_EQ(writeOutputFile(at("loop1"), "x"), "cannot write: Too many levels of symbolic links");
}

TEST_F(OutputFile, FifoStaysAFifoAndItsReaderGetsTheResult) {
    ASSERT_EQ(mkfifo(at("pipe").c_str(), 0600), 0);
    const std::string content(1 << 20, 'x');  // far more than the pipe holds
    std::string read;
    std::thread reader([&] { read = slurp(dir / "pipe"); });
    EXPECT_EQ(writeOutputFile(at("pipe"), content), "");
    reader.join();
    EXPECT_EQ(read.size(), content.size());
    EXPECT_TRUE(S_ISFIFO(statusOf(dir / "pipe").st_mode));
    EXPECT_EQ(names(dir), std::vector<std::string>{"pipe"});
}

// The null and full devices, made in the scratch folder: a fault that
// replaced a device would otherwise replace /dev/null for the whole system
// when the test runs as root. Only where nodes cannot be made, and only when
// not root, /dev's own.
TEST_F(OutputFile, DevicesAreWrittenInto) {
    std::string null = at("null"), full = at("full");
    if (mknod(null.c_str(), S_IFCHR | 0666, makedev(1, 3)) != 0 ||
        mknod(full.c_str(), S_IFCHR | 0666, makedev(1, 7)) != 0) {
        if (geteuid() == 0) GTEST_SKIP() << "cannot make device nodes";
        null = "/dev/null", full = "/dev/full";
    }
    EXPECT_EQ(writeOutputFile(null, "Ann Smith 312 555-0101\n"), "");
    EXPECT_TRUE(S_ISCHR(statusOf(null).st_mode));
    EXPECT_EQ(writeOutputFile(full, "Ann Smith 312 555-0101\n"), "cannot write: No space left on device");
    EXPECT_TRUE(S_ISCHR(statusOf(full).st_mode));
    EXPECT_EQ(writeOutputFile(dir.string(), "x"), "cannot write: Is a directory");
}

TEST_F(OutputFile, NameOfAFolderEntrysFullLength) {
    const std::string name(250, 'n');
    write(name, "Old\n");
    EXPECT_EQ(writeOutputFile(at(name), "New\n"), "");
    EXPECT_EQ(slurp(dir / name), "New\n");
    fs::create_symlink(dir / name, dir / "link");  // a link longer than most
    EXPECT_EQ(writeOutputFile(at("link"), "Newer\n"), "");
    EXPECT_EQ(slurp(dir / name), "Newer\n");
    EXPECT_EQ(names(dir), (std::vector<std::string>{"link", name}));
}

// A child process writes 1 MiB to out.dat under a file size limit of 64 KiB;
// reaching it stops the child, with the temporary file part written. The
// test then looks at that file and sends the child a signal.
class OutputFileSignal : public OutputFile, public ::testing::WithParamInterface<int> {
protected:
    static void stop(int) { raise(SIGSTOP); }

    // Forks the writer and waits until it stops; ignored is a signal the
    // child ignores, as if started so. The child exits 3 when the write
    // fails with "File too large". The child ends with the test.
    std::unique_ptr<started_program::StartedProgram> startStoppedWriter(int ignored) {
        write("out.dat", "Old Entry 312 555-0101\n");
        auto child = std::make_unique<started_program::StartedProgram>([&] {
            for (int sig : {SIGHUP, SIGINT, SIGQUIT, SIGTERM})
                signal(sig, sig == ignored ? SIG_IGN : SIG_DFL);
            signal(SIGXFSZ, stop);
            struct rlimit limit {
                kLimit, kLimit
            };
            setrlimit(RLIMIT_FSIZE, &limit);
            struct rlimit noCore {  // SIGQUIT's default action dumps core
                0, 0
            };
            setrlimit(RLIMIT_CORE, &noCore);
            std::string result = writeOutputFile(at("out.dat"), std::string(1 << 20, 'x'));
            _exit(result == "cannot write: File too large" ? 3 : 1);
        });
        int status = 0;
        EXPECT_EQ(child->wait(&status, WUNTRACED), child->pid());
        EXPECT_TRUE(WIFSTOPPED(status));
        return child;
    }
    static constexpr rlim_t kLimit = 64 << 10;
};

TEST_P(OutputFileSignal, TemporaryFileIsPrivateAndRemovedBySignal) {
    auto writer = startStoppedWriter(0);
    const pid_t child = writer->pid();
    std::vector<std::string> during = names(dir);
    ASSERT_EQ(during.size(), 2u);
    EXPECT_EQ(during[0].substr(0, 4), ".tlc");
    EXPECT_LE(during[0].size(), 14u);
    struct stat temporary = statusOf(dir / during[0]);
    EXPECT_EQ(temporary.st_mode & 07777, 0600u);
    EXPECT_EQ(temporary.st_size, static_cast<off_t>(kLimit));

    kill(child, GetParam());
    kill(child, SIGCONT);
    int status = 0;
    ASSERT_EQ(writer->wait(&status), child);
    EXPECT_TRUE(WIFSIGNALED(status) && WTERMSIG(status) == GetParam()) << status;
    EXPECT_EQ(names(dir), std::vector<std::string>{"out.dat"});
    EXPECT_EQ(slurp(dir / "out.dat"), "Old Entry 312 555-0101\n");
}

TEST_P(OutputFileSignal, IgnoredSignalStaysIgnored) {
    auto writer = startStoppedWriter(GetParam());
    const pid_t child = writer->pid();
    kill(child, GetParam());
    kill(child, SIGCONT);
    int status = 0;
    ASSERT_EQ(writer->wait(&status), child);
    EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 3) << status;
    EXPECT_EQ(names(dir), std::vector<std::string>{"out.dat"});
}

INSTANTIATE_TEST_SUITE_P(Endings, OutputFileSignal, ::testing::Values(SIGTERM, SIGINT, SIGHUP, SIGQUIT),
                         [](const ::testing::TestParamInfo<int>& info) {
                             return std::string(info.param == SIGTERM   ? "Term"
                                                : info.param == SIGINT  ? "Int"
                                                : info.param == SIGQUIT ? "Quit"
                                                                        : "Hup");
                         });

// The handlers are there only while the temporary file is, and only for
// signals with their default action.
TEST_F(OutputFile, SignalActionsPutBack) {
    struct sigaction ignore {};
    ignore.sa_handler = SIG_IGN;
    struct sigaction before {
    }, term{}, usr1{};
    ASSERT_EQ(sigaction(SIGUSR1, &ignore, &before), 0);
    EXPECT_EQ(writeOutputFile(at("out.dat"), "x"), "");
    EXPECT_NE(writeOutputFile(at("no-such-folder/out.dat"), "x"), "");
    sigaction(SIGTERM, nullptr, &term);
    sigaction(SIGUSR1, &before, &usr1);
    EXPECT_EQ(term.sa_handler, SIG_DFL);
    EXPECT_EQ(usr1.sa_handler, SIG_IGN);
}

}  // namespace
