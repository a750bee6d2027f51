// The program on a real terminal, and the stream cases that need a real
// process. Each pseudo-terminal session runs teledir the way an interactive
// shell runs a job: a session leader owns the terminal and starts the
// program in a process group of its own, in the foreground. (A session
// leader's own group is orphaned, and the kernel ignores Ctrl-Z there.)
#include <fcntl.h>
#include <gtest/gtest.h>
#include <poll.h>
#include <signal.h>
#include <sys/ioctl.h>
#include <sys/resource.h>
#include <sys/syscall.h>
#include <sys/wait.h>
#include <termios.h>
#include <unistd.h>
#if defined(__APPLE__) || defined(__OpenBSD__) || defined(__NetBSD__)
#include <util.h>
#elif defined(__FreeBSD__)
#include <libutil.h>
#else
#include <pty.h>
#include <utmp.h>
#endif

#include <algorithm>
#include <cerrno>
#include <chrono>
#include <cstdlib>
#include <cstring>
#include <deque>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <stdexcept>
#include <string>
#include <vector>

#include "screen_texts.h"
#include "started_program.h"

extern char** environ;

namespace {

namespace fs = std::filesystem;
using Clock = std::chrono::steady_clock;
using std::chrono::milliseconds;

// Generous, as the suite also runs under the sanitizers on a busy machine.
constexpr milliseconds kPatience{10000};
// A wait for what only the program can do is given up sooner once the
// program has sat this long in a read of the terminal with nothing to read
// and nothing else happening: it will do nothing more until keys come. The
// time covers what the kernel still has in hand then, keys typed but not
// yet passed on to the terminal, and the echo and output coming back.
constexpr milliseconds kHopelessAfter{1000};
// How long "nothing happens" must last to count as waiting.
constexpr milliseconds kQuietSpell{300};

constexpr char kEntries[] = "Ann Smith 312 555-0187\nJames Okafor 706 555-0142\nLinda Novak 212 555-0199\n";
// Program output as the terminal shows it: its line ends become CR LF.
const std::string kClear = "\x1b[H\x1b[2J";
const std::string kPrompt = "Press any key to continue . . . ";
const std::string kStartupText = screen_texts::onTerminal(screen_texts::kStartupText);
const std::string kSortingComplete = screen_texts::onTerminal(screen_texts::kSortingComplete);
const std::string kMainMenu = screen_texts::onTerminal(screen_texts::kMainMenu);
const std::string kInvalid = screen_texts::onTerminal(screen_texts::kInvalid);
const std::string kListEnd = "16)\tSmith, Ann; 312 555-0187\r\n\r\n";

void writeFile(const fs::path& file, const std::string& text) { std::ofstream(file) << text; }
std::string readFile(const fs::path& file) {
    std::ostringstream text;
    text << std::ifstream(file).rdbuf();
    return text.str();
}

bool sameMode(const termios& a, const termios& b) {
    return a.c_iflag == b.c_iflag && a.c_oflag == b.c_oflag && a.c_cflag == b.c_cflag &&
           a.c_lflag == b.c_lflag && std::equal(a.c_cc, a.c_cc + NCCS, b.c_cc);
}

// A wait status in words, as the tests compare it.
std::string describe(int status) {
    if (WIFEXITED(status)) return "exit " + std::to_string(WEXITSTATUS(status));
    if (WIFSIGNALED(status)) return "killed by " + std::to_string(WTERMSIG(status));
    return "stopped by " + std::to_string(WSTOPSIG(status));
}

// The text a console shows that draws with cursor movements, as wine's
// does: ESC [ n C moves right over n blanks; other control sequences and
// carriage returns show nothing.
std::string shownText(const std::string& raw) {
    std::string shown;
    for (size_t at = 0; at < raw.size(); ++at) {
        if (raw[at] == '\r') continue;
        if (raw[at] != '\x1b' || raw.compare(at + 1, 1, "[") != 0) {
            shown += raw[at];
            continue;
        }
        size_t end =
            raw.find_first_of("@ABCDEFGHIJKLMNOPQRSTUVWXYZ[\\]^_`abcdefghijklmnopqrstuvwxyz{|}~", at + 2);
        if (end == std::string::npos) break;
        if (raw[end] == 'C')
            shown.append(static_cast<size_t>(std::max(1, std::atoi(raw.c_str() + at + 2))), ' ');
        at = end;
    }
    return shown;
}

// How the program is started: as a job of a shell with job control, in the
// foreground or in the background (`teledir &`, while the shell's line
// editor has the terminal in a mode of its own), or as the session leader
// itself, as a terminal window told to run it does.
enum class Launch { AsJob, InBackground, Directly };

// In the session leader: its job's process group, and the terminal's mode
// as it keeps it for its jobs (as found).
pid_t leadersJob = 0;
termios shellMode{};

// The session leader's `fg` and `bg`, as an interactive shell does them: the
// terminal in the shell's mode, given to the job or taken back, and the job
// continued. SIGTTOU is blocked meanwhile: the leader's group is orphaned,
// so from the background it could not set the terminal otherwise.
void shellFg(int) {
    tcsetattr(STDIN_FILENO, TCSANOW, &shellMode);
    tcsetpgrp(STDIN_FILENO, leadersJob);
    kill(-leadersJob, SIGCONT);
}
void shellBg(int) {
    tcsetpgrp(STDIN_FILENO, getpgrp());
    tcsetattr(STDIN_FILENO, TCSANOW, &shellMode);
    kill(-leadersJob, SIGCONT);
}

// What runs on the terminal, the terminal type it is told (TERM; unset
// when null), and a library preloaded into it (none when null).
struct Program {
    std::vector<std::string> command{TELEDIR_PATH};
    const char* term = "xterm";
    const char* preload = nullptr;
};

// An argument or environment vector for exec, made before fork; the
// strings it points into must outlive it.
std::vector<char*> execVector(std::vector<std::string>& strings) {
    std::vector<char*> pointers;
    for (std::string& text : strings) pointers.push_back(text.data());
    pointers.push_back(nullptr);
    return pointers;
}

// This process's environment with TERM and the preloaded library set as
// program says.
std::vector<std::string> environmentFor(const Program& program) {
    auto replaced = [&](const char* entry) {
        return std::strncmp(entry, "TERM=", 5) == 0 ||
               (program.preload != nullptr && std::strncmp(entry, "ASAN_OPTIONS=", 13) == 0);
    };
    std::vector<std::string> entries;
    for (char** entry = environ; *entry != nullptr; ++entry)
        if (!replaced(*entry)) entries.emplace_back(*entry);
    if (program.term != nullptr) entries.push_back(std::string("TERM=") + program.term);
    if (program.preload != nullptr) {
        entries.push_back(std::string("LD_PRELOAD=") + program.preload);
        const char* asan = std::getenv("ASAN_OPTIONS");  // a sanitizer build
        entries.push_back(std::string("ASAN_OPTIONS=") + (asan ? asan : "") + ":verify_asan_link_order=0");
    }
    return entries;
}

// teledir on a pseudo-terminal, with a session leader that reports every
// change of the program's state (stopped, exited, killed) through a pipe.
// The program's process group, with all it starts there, ends with the
// session, or with this process however it ends (see started_program.h).
class TerminalSession {
public:
    explicit TerminalSession(const fs::path& dir, int ignoredSignal = 0, Launch launch = Launch::AsJob,
                             Program program = Program()) {
        if (openpty(&master_, &slave_, nullptr, nullptr, nullptr) == -1)
            throw std::runtime_error("openpty failed");
        std::vector<std::string> environment = environmentFor(program);
        std::vector<char*> argv = execVector(program.command), envp = execVector(environment);
        tcgetattr(slave_, &found_);
        const long openMax = sysconf(_SC_OPEN_MAX);
        int reports[2], lifeline[2];
        if (pipe(reports) == -1) throw std::runtime_error("pipe failed");
        started_program::makeLifeline(lifeline);
        lifeline_ = lifeline[1];
        leader_ = fork();
        if (leader_ == 0) {
            lead(slave_, dir.c_str(), reports[1], lifeline[0], openMax, ignoredSignal, launch, argv.data(),
                 envp.data());
        }
        close(reports[1]);
        close(lifeline[0]);
        reports_ = reports[0];
        if (!waitUntil([&] { return program_ > 0; })) {
            end();
            throw std::runtime_error("program did not start");
        }
    }
    TerminalSession(const TerminalSession&) = delete;
    TerminalSession& operator=(const TerminalSession&) = delete;
    ~TerminalSession() { end(); }
    void type(const std::string& keys) {
        lastStir_ = Clock::now();
        if (write(master_, keys.data(), keys.size()) != static_cast<ssize_t>(keys.size())) ADD_FAILURE();
    }
    void signal(int sig) {
        lastStir_ = Clock::now();
        kill(program_, sig);
    }
    void fg() {  // see shellFg
        lastStir_ = Clock::now();
        kill(leader_, SIGUSR1);
    }
    void bg() {
        lastStir_ = Clock::now();
        kill(leader_, SIGUSR2);
    }
    termios mode() const {
        termios now{};
        tcgetattr(slave_, &now);
        return now;
    }
    bool modeAsFound() const { return sameMode(mode(), found_); }

    // Waits for text in the output not yet matched; skipped receives what
    // came before it.
    testing::AssertionResult expect(const std::string& text, std::string* skipped = nullptr) {
        size_t at = std::string::npos;
        if (!waitUntil([&] { return (at = output_.find(text, matched_)) != std::string::npos; })) {
            return testing::AssertionFailure()
                   << "waited in vain" << whyInVain() << " for " << testing::PrintToString(text)
                   << "\nafter: " << testing::PrintToString(output_.substr(matched_));
        }
        if (skipped) *skipped = output_.substr(matched_, at - matched_);
        matched_ = at + text.size();
        return testing::AssertionSuccess();
    }

    // The press-a-key prompt is shown and the terminal is in key mode:
    // no line editing, no echo.
    testing::AssertionResult atPause() {
        auto shown = expect(kPrompt);
        return shown ? inKeyMode() : shown;
    }

    // The terminal is (soon) in key mode: no line editing, no echo.
    testing::AssertionResult inKeyMode() {
        if (waitUntil([&] { return (mode().c_lflag & (ICANON | ECHO)) == 0; }))
            return testing::AssertionSuccess();
        return testing::AssertionFailure() << "terminal not in key mode" << whyInVain();
    }

    // Nothing is printed after the text last matched, and the program
    // neither ends nor stops for a while.
    testing::AssertionResult staysQuiet() {
        size_t before = matched_;
        auto until = Clock::now() + kQuietSpell;
        while (Clock::now() < until) pump(std::chrono::duration_cast<milliseconds>(until - Clock::now()));
        if (output_.size() == before && statuses_.empty()) return testing::AssertionSuccess();
        return testing::AssertionFailure()
               << "did not wait: " << testing::PrintToString(output_.substr(before))
               << (statuses_.empty() ? "" : " (and changed state)");
    }

    // Like expect, on the text as the screen shows it (see shownText);
    // skipped receives the shown text before it. Takes in all output so far.
    testing::AssertionResult expectOnScreen(const std::string& text, std::string* skipped = nullptr) {
        std::string shown;
        size_t at = std::string::npos;
        if (!waitUntil([&] {
                shown = shownText(output_.substr(matched_));
                return (at = shown.find(text)) != std::string::npos;
            })) {
            return testing::AssertionFailure()
                   << "waited in vain" << whyInVain() << " for " << testing::PrintToString(text)
                   << " on the screen\nafter: " << testing::PrintToString(shown);
        }
        if (skipped) *skipped = shown.substr(0, at);
        matched_ = output_.size();
        return testing::AssertionSuccess();
    }

    // Everything the program has printed so far.
    const std::string& output() const { return output_; }

    // The program's next change of state: exit, killed or stopped.
    std::string nextStatus() {
        if (!waitUntil([&] { return !statuses_.empty(); })) return "still running" + whyInVain();
        int status = statuses_.front();
        statuses_.pop_front();
        return describe(status);
    }

private:
    // Ends the program's group and waits for the leader, which waits for
    // the group's guard: once this returns, they are gone.
    void end() {
        if (lifeline_ < 0) return;
        close(lifeline_);
        lifeline_ = -1;
        if (leader_ > 0) waitpid(leader_, nullptr, 0);
        close(master_);
        close(slave_);
        if (reports_ >= 0) close(reports_);
    }

    // The session leader: takes the terminal, starts the program in the
    // foreground, in a process group the guard of lifeline leads, and
    // reports on it. Only async-signal-safe calls after fork.
    [[noreturn]] static void lead(int slave, const char* dir, int reports, int lifeline, long openMax,
                                  int ignoredSignal, Launch launch, char* const argv[], char* const envp[]) {
        if (login_tty(slave) == -1 || chdir(dir) == -1) _exit(126);
        // Nothing else open: another session's lifeline held here would keep
        // that session going.
        started_program::closeAllBut(reports, lifeline, openMax);
        // Started directly, the program is the leader, in the leader's group.
        const pid_t job = started_program::startGuard(lifeline, launch == Launch::Directly ? getpgrp() : 0);
        if (job == -1) _exit(126);
        tcgetattr(STDIN_FILENO, &shellMode);
        if (launch == Launch::InBackground) {
            termios lineEditor = shellMode;
            lineEditor.c_lflag &= ~static_cast<tcflag_t>(ICANON | ECHO);
            tcsetattr(STDIN_FILENO, TCSANOW, &lineEditor);
        }
        pid_t program = launch == Launch::Directly ? 0 : fork();
        if (program == 0) {
            if (launch != Launch::Directly) {
                // Joined while the lifeline still holds: the guard is alive
                // then, and kills it with the group.
                pollfd ended{lifeline, 0, 0};
                if (setpgid(0, job) == -1 || getpgrp() != job || poll(&ended, 1, 0) != 0) _exit(126);
            }
            if (launch == Launch::AsJob) {
                sigset_t ttou;
                sigemptyset(&ttou);
                sigaddset(&ttou, SIGTTOU);
                sigprocmask(SIG_BLOCK, &ttou, nullptr);
                tcsetpgrp(STDIN_FILENO, job);
                sigprocmask(SIG_UNBLOCK, &ttou, nullptr);
            } else if (launch == Launch::Directly) {
                pid_t self = getpid();  // no reports follow
                if (write(reports, &self, sizeof self) != sizeof self) _exit(1);
            }
            // Every signal at its default: one ignored here would stay so.
            for (int sig = 1; sig < NSIG; ++sig) (void)::signal(sig, SIG_DFL);
            const rlimit noCore{0, 0};  // Ctrl-\ would leave a core file behind
            setrlimit(RLIMIT_CORE, &noCore);
            if (ignoredSignal) (void)::signal(ignoredSignal, SIG_IGN);
            close(reports);
            execve(argv[0], argv, envp);
            _exit(127);
        }
        close(lifeline);
        if (program == -1) _exit(126);
        setpgid(program, job);
        leadersJob = job;
        struct sigaction jobControl {};
        sigemptyset(&jobControl.sa_mask);
        sigaddset(&jobControl.sa_mask, SIGTTOU);
        jobControl.sa_flags = SA_RESTART;
        jobControl.sa_handler = shellFg;
        sigaction(SIGUSR1, &jobControl, nullptr);
        jobControl.sa_handler = shellBg;
        sigaction(SIGUSR2, &jobControl, nullptr);
        if (write(reports, &program, sizeof program) == sizeof program) {
            for (;;) {
                int status = 0;
                if (waitpid(program, &status, WUNTRACED) == -1) {
                    if (errno == EINTR) continue;
                    break;
                }
                if (write(reports, &status, sizeof status) != sizeof status || !WIFSTOPPED(status)) break;
            }
        }
        while (waitpid(job, nullptr, 0) == -1 && errno == EINTR) {
        }
        _exit(0);
    }

    // Waits until done, for kPatience at most, or until the program has
    // waited for input in vain for kHopelessAfter (see awaitsInput).
    template <typename Done>
    bool waitUntil(Done done) {
        const auto start = Clock::now();
        auto lastSeenBusy = start;
        hopeless_ = false;
        while (!done()) {
            const auto now = Clock::now();
            auto left = std::chrono::duration_cast<milliseconds>(start + kPatience - now);
            if (left.count() <= 0) return false;
            if (!awaitsInput()) lastSeenBusy = now;
            if (now - std::max(lastSeenBusy, lastStir_) >= kHopelessAfter) {
                hopeless_ = true;
                return false;
            }
            pump(std::min(left, milliseconds(50)));
        }
        return true;
    }

    // Why the last wait ended in vain, for a failure message.
    std::string whyInVain() const {
        if (hopeless_) return " (the program sat reading the terminal, with nothing to read)";
        return " (" + std::to_string(kPatience.count()) + " ms)";
    }

    // Whether the program sleeps in a read of standard input with nothing
    // typed left for it: until keys are typed or a signal comes, it will
    // print nothing, set no mode and not end. Known from /proc on Linux
    // only; false elsewhere, and for a program running or stopped.
    bool awaitsInput() const {
#ifdef __linux__
        if (program_ <= 0) return false;
        const fs::path proc = "/proc/" + std::to_string(program_);
        // The state follows the name in parentheses, which may hold any byte.
        const std::string stat = readFile(proc / "stat");
        const size_t nameEnd = stat.rfind(')');
        if (nameEnd == std::string::npos || stat.compare(nameEnd, 3, ") S") != 0) return false;
        // The system call's number and its arguments, the first a file
        // descriptor for read.
        std::istringstream call(readFile(proc / "syscall"));
        long number = -1;
        std::string descriptor;
        if (!(call >> number >> descriptor) || number != SYS_read || descriptor != "0x0") return false;
        int unread = 0;
        return ioctl(slave_, FIONREAD, &unread) == 0 && unread == 0;
#else
        return false;
#endif
    }

    // Takes in whatever output and reports arrive within the time given.
    void pump(milliseconds wait) {
        pollfd ready[2] = {{master_, POLLIN, 0}, {reports_, POLLIN, 0}};
        if (poll(ready, 2, static_cast<int>(wait.count())) <= 0) return;
        if (ready[0].revents & POLLIN) {
            char bytes[4096];
            ssize_t got = read(master_, bytes, sizeof bytes);
            if (got > 0) {
                output_.append(bytes, static_cast<size_t>(got));
                lastStir_ = Clock::now();
            }
        }
        if (ready[1].revents & (POLLIN | POLLHUP)) {
            int report = 0;
            if (read(reports_, &report, sizeof report) != sizeof report) {
                close(reports_);  // the leader has gone
                reports_ = -1;
            } else if (program_ == 0) {
                program_ = report;
            } else {
                statuses_.push_back(report);
                lastStir_ = Clock::now();
            }
        }
    }

    int master_ = -1;
    int slave_ = -1;
    int reports_ = -1;
    int lifeline_ = -1;  // see started_program.h
    pid_t leader_ = 0;
    pid_t program_ = 0;
    termios found_{};
    std::string output_;
    size_t matched_ = 0;
    std::deque<int> statuses_;
    // The last key typed, signal sent, output or change of state seen.
    Clock::time_point lastStir_ = Clock::now();
    bool hopeless_ = false;  // the last wait given up early (see waitUntil)
};

// Each test runs the program in a fresh directory holding the data file.
class TerminalTest : public testing::Test {
protected:
    TerminalTest() {
        std::string pattern = (fs::temp_directory_path() / "teledir-tty-XXXXXX").string();
        if (mkdtemp(pattern.data()) == nullptr) throw std::runtime_error("mkdtemp failed");
        dir_ = pattern;
        writeFile(dir_ / "telelist.dat", kEntries);
    }
    ~TerminalTest() override {
        std::error_code ignored;
        fs::remove_all(dir_, ignored);
    }
    fs::path dir_;
};

// Runs a shell command in dir with a time limit; how it ended. The shell
// and all it starts end with the run.
std::string runShell(const fs::path& dir, const std::string& command, bool ignoreBrokenPipe = false) {
    started_program::StartedProgram shell([&] {
        if (chdir(dir.c_str()) == -1) _exit(126);
        (void)::signal(SIGPIPE, ignoreBrokenPipe ? SIG_IGN : SIG_DFL);
        execl("/bin/sh", "sh", "-c", command.c_str(), static_cast<char*>(nullptr));
    });
    int status = 0;
    if (!shell.waitUntil(Clock::now() + kPatience, &status))
        return "still running after " + std::to_string(kPatience.count()) + " ms";
    return describe(status);
}

const std::string kTeledir = std::string("'") + TELEDIR_PATH + "'";

}  // namespace

// From a pause: a key, Quit at the main menu, a key for the final pause;
// the program must end with status 0 and the terminal as it was found.
void quitFromPause(TerminalSession& tty, const std::string& key = "x") {
    tty.type(key);
    ASSERT_TRUE(tty.expect(kMainMenu));
    tty.type("4\n");
    ASSERT_TRUE(tty.expect("4\r\n" + kPrompt));
    tty.type(key);
    EXPECT_EQ(tty.nextStatus(), "exit 0");
    EXPECT_TRUE(tty.modeAsFound());
}

TEST_F(TerminalTest, ClearsScreenAndWaitsForOneKeyUnechoed) {
    TerminalSession tty(dir_);
    ASSERT_TRUE(tty.expect(kStartupText + kClear + kSortingComplete));
    ASSERT_TRUE(tty.atPause());
    EXPECT_TRUE(tty.staysQuiet());

    tty.type("x");  // not Enter: the wait is for one key, not a line
    std::string afterKey;
    ASSERT_TRUE(tty.expect(kClear + kMainMenu, &afterKey));
    EXPECT_EQ(afterKey, "\r\n");  // the key is not echoed
    EXPECT_TRUE(tty.modeAsFound());
    tty.type("3\n");
    ASSERT_TRUE(tty.expect(kListEnd));
    quitFromPause(tty);
}

// A wait for output ends soon, not after its whole patience, once the
// program sits reading the terminal with nothing to read, as when a fault
// keeps a prompt in the program's buffer; and it changes nothing.
TEST_F(TerminalTest, WaitEndsSoonWhileTheProgramSitsReadingTheTerminal) {
#ifndef __linux__
    GTEST_SKIP() << "the program's reads are seen through /proc";
#endif
    TerminalSession tty(dir_);
    ASSERT_TRUE(tty.atPause());
    tty.type("x");
    ASSERT_TRUE(tty.expect(kMainMenu));
    tty.type("3");  // no line end: the menu reads on
    const auto start = Clock::now();
    EXPECT_FALSE(tty.expect(kListEnd));
    EXPECT_LT(Clock::now() - start, kPatience / 2);
    tty.type("\n");
    ASSERT_TRUE(tty.expect(kListEnd));
    quitFromPause(tty);
}

TEST_F(TerminalTest, KeyOfSeveralBytesIsConsumedWhole) {
    TerminalSession tty(dir_);
    ASSERT_TRUE(tty.atPause());
    struct Key {
        const char* name;
        const char* bytes;
    };
    // Flow control and the extended keys must not take Ctrl-S, Ctrl-Q or
    // Ctrl-V for themselves; the Linux console sends ESC [ [ A for F1.
    for (Key key : {Key{"Up arrow", "\x1b[A"}, Key{"F5", "\x1b[15~"}, Key{"F1", "\x1bOP"},
                    Key{"F1 on the Linux console", "\x1b[[A"}, Key{"F5 on the Linux console", "\x1b[[E"},
                    Key{"Escape", "\x1b"}, Key{"e acute", "\xc3\xa9"}, Key{"euro sign", "\xe2\x82\xac"},
                    Key{"grinning face", "\xf0\x9f\x98\x80"}, Key{"Ctrl-S", "\x13"}, Key{"Ctrl-Q", "\x11"},
                    Key{"Ctrl-V", "\x16"}}) {
        SCOPED_TRACE(key.name);
        tty.type(key.bytes);
        ASSERT_TRUE(tty.expect(kMainMenu));
        tty.type("3\n");  // any leftover byte of the key would spoil this reply
        std::string listing;
        ASSERT_TRUE(tty.expect(kListEnd, &listing));
        EXPECT_EQ(listing.find("Invalid"), std::string::npos);
        ASSERT_TRUE(tty.atPause());
    }
    quitFromPause(tty);
}

TEST_F(TerminalTest, TypeAheadIsKeptForTheReadsThatFollow) {
    TerminalSession tty(dir_);
    ASSERT_TRUE(tty.atPause());
    tty.type("x");
    ASSERT_TRUE(tty.expect(kMainMenu));
    // An invalid reply, the next reply on the same line, and the key for the
    // pause in between: the menu reads the line, the pause the key.
    tty.type("0 3\nx");
    ASSERT_TRUE(tty.expect(kInvalid + kPrompt));
    ASSERT_TRUE(tty.expect(kMainMenu));
    ASSERT_TRUE(tty.expect(kListEnd));
    ASSERT_TRUE(tty.atPause());
    EXPECT_TRUE(tty.staysQuiet());  // nothing left over for this pause
    quitFromPause(tty);
}

TEST_F(TerminalTest, InterruptOrTerminationAtPauseRestoresTerminal) {
    struct Ending {
        const char* name;
        const char* typed;  // or else sent
        int signal;
    };
    for (Ending ending : {Ending{"Ctrl-C", "\x03", SIGINT}, Ending{"Ctrl-\\", "\x1c", SIGQUIT},
                          Ending{"SIGTERM", nullptr, SIGTERM}, Ending{"SIGHUP", nullptr, SIGHUP}}) {
        SCOPED_TRACE(ending.name);
        TerminalSession tty(dir_);
        ASSERT_TRUE(tty.atPause());
        if (ending.typed) {
            tty.type(ending.typed);
        } else {
            tty.signal(ending.signal);
        }
        EXPECT_EQ(tty.nextStatus(), "killed by " + std::to_string(ending.signal));
        EXPECT_TRUE(tty.modeAsFound());
    }
}

TEST_F(TerminalTest, CtrlZSuspendsWithTerminalRestoredAndFgResumesTheWait) {
    TerminalSession tty(dir_);
    ASSERT_TRUE(tty.atPause());
    for (int round = 1; round <= 2; ++round) {
        SCOPED_TRACE(round);
        tty.type("\x1a");
        ASSERT_EQ(tty.nextStatus(), "stopped by " + std::to_string(SIGTSTP));
        EXPECT_TRUE(tty.modeAsFound());
        tty.signal(SIGCONT);  // as `fg` does
        ASSERT_TRUE(tty.atPause());
    }
    quitFromPause(tty);
}

// However the program was stopped at a pause, once it is continued in the
// foreground the prompt is shown again, just once, the terminal is in key
// mode again, and a key goes on. The terminal is left as the shell gave it
// back, even when the program found it in the shell's line-editing mode.
TEST_F(TerminalTest, FgAfterAnyStopAtPauseShowsThePromptAgain) {
    struct Stop {
        const char* name;
        Launch launch;
        const char* typed;  // or else sent, unless started in the background
        int sent;
        int stoppedBy;
        bool bgFirst;  // then stopped by SIGTTIN, reading in the background
    };
    for (Stop stop : {Stop{"Ctrl-Z", Launch::AsJob, "\x1a", 0, SIGTSTP, false},
                      Stop{"SIGSTOP", Launch::AsJob, nullptr, SIGSTOP, SIGSTOP, false},
                      Stop{"SIGSTOP, then bg", Launch::AsJob, nullptr, SIGSTOP, SIGSTOP, true},
                      Stop{"started in the background", Launch::InBackground, nullptr, 0, SIGTTOU, false}}) {
        SCOPED_TRACE(stop.name);
        TerminalSession tty(dir_, 0, stop.launch);
        ASSERT_TRUE(tty.expect(kPrompt));
        if (stop.typed) {
            ASSERT_TRUE(tty.inKeyMode());
            tty.type(stop.typed);
        } else if (stop.sent) {
            ASSERT_TRUE(tty.inKeyMode());
            tty.signal(stop.sent);
        }
        ASSERT_EQ(tty.nextStatus(), "stopped by " + std::to_string(stop.stoppedBy));
        if (stop.bgFirst) {
            tty.bg();
            ASSERT_EQ(tty.nextStatus(), "stopped by " + std::to_string(SIGTTIN));
        }
        tty.fg();
        ASSERT_TRUE(tty.atPause());
        EXPECT_TRUE(tty.staysQuiet());
        quitFromPause(tty);
    }
}

TEST_F(TerminalTest, CtrlZWithoutJobControlLeavesTheWaitAlone) {
    TerminalSession tty(dir_, 0, Launch::Directly);  // nothing could resume it, so it is not stopped
    ASSERT_TRUE(tty.atPause());
    tty.type("\x1a");
    EXPECT_TRUE(tty.staysQuiet());  // no second prompt
    tty.type("x");
    std::string afterKey;
    ASSERT_TRUE(tty.expect(kClear + kMainMenu, &afterKey));
    EXPECT_EQ(afterKey, "\r\n");  // still in key mode: taken at once, not echoed
}

TEST_F(TerminalTest, SignalIgnoredAtStartStaysIgnoredAtPause) {
    TerminalSession tty(dir_, SIGHUP);  // as under nohup
    ASSERT_TRUE(tty.atPause());
    tty.signal(SIGHUP);
    EXPECT_TRUE(tty.staysQuiet());
    tty.type("x");
    EXPECT_TRUE(tty.expect(kMainMenu));
}

namespace {

struct NamedSignal {
    const char* name;
    int number;
};
void PrintTo(const NamedSignal& sig, std::ostream* out) { *out << sig.name; }

// Those besides Ctrl-C, Ctrl-\, SIGTERM and SIGHUP that end the program.
// SIGSEGV, SIGBUS and SIGFPE are left to a sanitizer's runtime where there
// is one; sent by kill, the others of their kind come as they would.
std::vector<NamedSignal> endingSignals() {
    std::vector<NamedSignal> signals = {{"SIGUSR1", SIGUSR1},     {"SIGUSR2", SIGUSR2}, {"SIGALRM", SIGALRM},
                                        {"SIGVTALRM", SIGVTALRM}, {"SIGPROF", SIGPROF}, {"SIGXCPU", SIGXCPU},
                                        {"SIGXFSZ", SIGXFSZ},     {"SIGPIPE", SIGPIPE}, {"SIGSYS", SIGSYS},
                                        {"SIGTRAP", SIGTRAP},     {"SIGILL", SIGILL},   {"SIGABRT", SIGABRT}};
#ifdef SIGPOLL
    signals.push_back({"SIGPOLL", SIGPOLL});
#endif
#if defined(SIGRTMIN) && defined(SIGRTMAX)
    signals.push_back({"SIGRTMIN", SIGRTMIN});
    signals.push_back({"SIGRTMAX", SIGRTMAX});
#endif
    return signals;
}

class EndingSignalTest : public TerminalTest, public testing::WithParamInterface<NamedSignal> {};

}  // namespace

TEST_P(EndingSignalTest, AtPauseEndsTheProgramWithTerminalRestored) {
    const int sig = GetParam().number;
    TerminalSession tty(dir_);
    ASSERT_TRUE(tty.atPause());
    tty.signal(sig);
    EXPECT_EQ(tty.nextStatus(), "killed by " + std::to_string(sig));
    EXPECT_TRUE(tty.modeAsFound());
}

INSTANTIATE_TEST_SUITE_P(Signals, EndingSignalTest, testing::ValuesIn(endingSignals()),
                         [](const testing::TestParamInfo<NamedSignal>& info) { return info.param.name; });

TEST_F(TerminalTest, ReaderThatGoesAwayEndsTheProgramPromptly) {
    for (bool ignoreBrokenPipe : {false, true}) {
        SCOPED_TRACE(ignoreBrokenPipe ? "SIGPIPE ignored" : "SIGPIPE default");
        ASSERT_EQ(runShell(dir_,
                           "yes 3 2>/dev/null | { " + kTeledir +
                               " 2>/dev/null; echo $? >status; } | head -c 100 >out",
                           ignoreBrokenPipe),
                  "exit 0");
        EXPECT_EQ(readFile(dir_ / "out").size(), 100u);
        // Killed by the broken pipe, or told of it by a failed write.
        EXPECT_EQ(readFile(dir_ / "status"), ignoreBrokenPipe ? "1\n" : std::to_string(128 + SIGPIPE) + "\n");
    }
}

TEST_F(TerminalTest, FullDiskEndsTheProgramPromptlyWithAMessage) {
    ASSERT_EQ(runShell(dir_, "yes 3 2>/dev/null | { " + kTeledir + " >/dev/full 2>err; echo $? >status; }"),
              "exit 0");
    EXPECT_EQ(readFile(dir_ / "status"), "1\n");
    EXPECT_EQ(readFile(dir_ / "err"), "telephone directory: cannot write to standard output\n");
}

TEST_F(TerminalTest, DataFileThatCannotBeReadActsAsMissing) {
    const std::string run = "printf '3\\n4\\n' | " + kTeledir + " >out 2>err";
    const fs::path dataFile = dir_ / "telelist.dat";
    fs::remove(dataFile);
    ASSERT_EQ(runShell(dir_, run), "exit 0");
    const std::string emptyList = readFile(dir_ / "out");
    const std::string empty = "; the directory is empty\n";
    EXPECT_EQ(readFile(dir_ / "err"),
              "telelist.dat: warning: cannot open: No such file or directory" + empty);
    EXPECT_NE(emptyList.find("\n1)\t, ; 0 \n"), std::string::npos);
    EXPECT_NE(emptyList.find("\n16)\t, ; 0 \n"), std::string::npos);

    writeFile(dataFile, kEntries);
    fs::permissions(dataFile, fs::perms::none);
    if (access(dataFile.c_str(), R_OK) == -1) {  // root reads it all the same
        ASSERT_EQ(runShell(dir_, run), "exit 0");
        EXPECT_EQ(readFile(dir_ / "out"), emptyList) << "an unreadable file";
        EXPECT_EQ(readFile(dir_ / "err"), "telelist.dat: warning: cannot open: Permission denied" + empty);
    }
    fs::remove(dataFile);
    fs::create_directory(dataFile);
    ASSERT_EQ(runShell(dir_, run), "exit 0");
    EXPECT_EQ(readFile(dir_ / "out"), emptyList) << "a directory";
    EXPECT_EQ(readFile(dir_ / "err"), "telelist.dat: warning: cannot read: Is a directory" + empty);
}

// A start-up message about the data file comes after the start-up clear and
// before the start-up pause, so it is still on the screen while the pause
// waits for a key.
TEST_F(TerminalTest, StartupWarningStaysOnScreenWhileThePauseWaits) {
    writeFile(dir_ / "telelist.dat",
              "Ann Smith 312 555-0187\nBob Jones ABC 555-0102\nCy Nash 212 555-0103\n");
    TerminalSession tty(dir_);
    ASSERT_TRUE(tty.expect(kStartupText + kClear));
    std::string screen;
    ASSERT_TRUE(tty.expect(kPrompt, &screen));
    EXPECT_EQ(
        screen,
        kSortingComplete +
            "telelist.dat:2: error: area code \"ABC\" is not a number; the directory stops loading here: "
            "this entry gets no number (run telelist-check)\r\n");
    EXPECT_TRUE(tty.staysQuiet());  // nothing clears it while the pause waits
    quitFromPause(tty);
}

// With only one of standard input and output on the terminal nobody can
// both see a prompt and press a key: nothing is cleared, nothing awaited.
TEST_F(TerminalTest, HalfOnATerminalNeitherClearsNorWaits) {
    {
        SCOPED_TRACE("dialogue piped in, output on the terminal");
        Program piped;
        piped.command = {"/bin/sh", "-c", "printf '3\\n4\\n' | " + kTeledir};
        TerminalSession tty(dir_, 0, Launch::AsJob, piped);
        ASSERT_TRUE(tty.expect(kSortingComplete + kMainMenu));
        ASSERT_TRUE(tty.expect(kListEnd + kMainMenu));
        EXPECT_EQ(tty.nextStatus(), "exit 0");
        EXPECT_EQ(tty.output().find('\x1b'), std::string::npos);
        EXPECT_EQ(tty.output().find(kPrompt), std::string::npos);
    }
    {
        SCOPED_TRACE("typed on the terminal, output to a file");
        Program redirected;
        redirected.command = {"/bin/sh", "-c", kTeledir + " >out"};
        TerminalSession tty(dir_, 0, Launch::AsJob, redirected);
        tty.type("3\n4\n");  // no key for any pause
        EXPECT_EQ(tty.nextStatus(), "exit 0");
        EXPECT_TRUE(tty.modeAsFound());
        const std::string out = readFile(dir_ / "out");
        EXPECT_NE(out.find("16)\tSmith, Ann; 312 555-0187\n"), std::string::npos);
        EXPECT_EQ(out.find('\x1b'), std::string::npos);
        EXPECT_EQ(out.find(kPrompt), std::string::npos);
    }
}

// A terminal that cannot take escape sequences, or an unknown one (TERM
// empty or unset), gets a line end for a clear screen; the pauses are as on
// any terminal.
TEST_F(TerminalTest, DumbOrUnknownTerminalGetsNoEscapeSequences) {
    for (const char* term : {"dumb", "", static_cast<const char*>(nullptr)}) {
        SCOPED_TRACE(term == nullptr ? "TERM unset" : *term == '\0' ? "TERM empty" : term);
        Program program;
        program.term = term;
        TerminalSession tty(dir_, 0, Launch::AsJob, program);
        ASSERT_TRUE(tty.expect(kStartupText + "\r\n" + kSortingComplete));
        ASSERT_TRUE(tty.atPause());
        EXPECT_TRUE(tty.staysQuiet());
        quitFromPause(tty);
        EXPECT_NE(tty.output().find(kPrompt + "\r\n\r\n" + kMainMenu), std::string::npos);
        EXPECT_EQ(tty.output().find('\x1b'), std::string::npos);
    }
}

// The Windows build under wine's console, when the wine suite names it
// (TELEDIR_TEST_WINE, TELEDIR_TEST_WINDOWS_PROGRAM): its commands go to the
// command interpreter, whose pause waits for one key. The console shows the
// UTF-8 of the data file as the characters it encodes, a byte that is not
// UTF-8 as U+FFFD, and hands over what is typed as UTF-8; a pipe's bytes
// reach the program unchanged. wine's console speaks UTF-8 to the terminal
// in a UTF-8 locale.
TEST_F(TerminalTest, WindowsBuildUnderWineClearsAndWaitsForKeys) {
    const char* wine = std::getenv("TELEDIR_TEST_WINE");
    const char* program = std::getenv("TELEDIR_TEST_WINDOWS_PROGRAM");
    if (wine == nullptr || program == nullptr)
        GTEST_SKIP() << "no Windows build named; make wine-test runs it";
    // Gr\xe9n is Latin-1, not UTF-8. Two names of 2000 € (3 bytes each) run
    // over several of the program's writes to the console, so that a write
    // ends inside a character.
    std::string euros;
    for (int i = 0; i < 2000; ++i) euros += "€";
    writeFile(dir_ / "telelist.dat",
              "Jürgen Müller 212 555-0103\nAnna Żółw 312 555-0104\nEve Gr\xe9n 212 555-0106\n" + euros + " " +
                  euros + " 212 555-0107\n");
    const std::string found = "- Müller, Jürgen; (212) 555-0103";
    // The full list shows the last four slots in this order, and U+FFFD only
    // for the byte that is not UTF-8.
    const std::string listed[] = {"Gr\ufffdn, Eve; 212 555-0106", "Müller, Jürgen; 212 555-0103",
                                  "Żółw, Anna; 312 555-0104", euros.substr(0, 60)};
    auto listsEntries = [&listed](const std::string& screen) {
        size_t at = 0;
        for (const std::string& entry : listed) {
            if ((at = screen.find(entry, at)) == std::string::npos)
                return testing::AssertionFailure() << "no " << entry << " next in " << screen;
        }
        for (at = screen.find("\ufffd"); at != std::string::npos; at = screen.find("\ufffd", at + 1)) {
            if (at < 2 || screen.compare(at - 2, 2, "Gr") != 0)
                return testing::AssertionFailure() << "U+FFFD at " << at << " in " << screen;
        }
        return testing::AssertionSuccess();
    };
    const std::vector<std::string> inUtf8Locale = {"/usr/bin/env", "LANG=C.UTF-8", "LC_ALL=C.UTF-8", wine,
                                                   program};

    Program windows;
    windows.command = inUtf8Locale;
    TerminalSession tty(dir_, 0, Launch::AsJob, windows);
    ASSERT_TRUE(tty.expectOnScreen("File Sorting Complete."));
    ASSERT_TRUE(tty.expectOnScreen("Press any key"));
    EXPECT_TRUE(tty.staysQuiet());
    // wine's console sets up the terminal only once the pause reads, and
    // drops what was typed before.
    ASSERT_TRUE(tty.inKeyMode());
    tty.type("x");
    ASSERT_TRUE(tty.expect("\x1b[H"));  // the screen is cleared from the top
    std::string beforeMenu;
    ASSERT_TRUE(tty.expectOnScreen("Menu Options:", &beforeMenu));
    EXPECT_EQ(beforeMenu.find_first_not_of(" \n"), std::string::npos) << "not a blank screen";
    tty.type("3\r");
    std::string listing;
    ASSERT_TRUE(tty.expectOnScreen("Press any key", &listing));
    EXPECT_TRUE(listsEntries(listing));
    tty.type("x");
    ASSERT_TRUE(tty.expectOnScreen("Menu Options:"));
    tty.type("1\r");
    ASSERT_TRUE(tty.expectOnScreen("by Last Name"));
    tty.type("2\r");
    ASSERT_TRUE(tty.expectOnScreen("Enter Last Name to Find: "));
    tty.type("Müller\r");
    std::string search;
    ASSERT_TRUE(tty.expectOnScreen("Press any key", &search));
    EXPECT_NE(search.find("Searching for 'Müller' ..."), std::string::npos) << search;
    EXPECT_NE(search.find(found), std::string::npos) << search;
    tty.type("x");
    ASSERT_TRUE(tty.expectOnScreen("Back to Main Menu"));
    tty.type("3\r");
    ASSERT_TRUE(tty.expectOnScreen("Menu Options:"));
    tty.type("4\r");
    ASSERT_TRUE(tty.expectOnScreen("Press any key"));
    EXPECT_TRUE(tty.staysQuiet());
    ASSERT_TRUE(tty.inKeyMode());
    tty.type("x");
    EXPECT_EQ(tty.nextStatus(), "exit 0");

    SCOPED_TRACE("dialogue piped in, output on the console");
    Program piped;
    std::string dialogue = "printf '3\\n1\\n2\\nMüller\\n3\\n4\\n' |";
    for (const std::string& word : inUtf8Locale) dialogue += " '" + word + "'";
    piped.command = {"/bin/sh", "-c", dialogue};
    TerminalSession pipedIn(dir_, 0, Launch::AsJob, piped);
    std::string screen;
    ASSERT_TRUE(pipedIn.expectOnScreen(found, &screen));
    EXPECT_TRUE(listsEntries(screen));
    EXPECT_NE(screen.find("Searching for 'Müller' ..."), std::string::npos) << screen;
    EXPECT_EQ(screen.find("Press any key"), std::string::npos);
    EXPECT_EQ(pipedIn.nextStatus(), "exit 0");
}

// A terminal that refuses single-key mode keeps its line editing and echo;
// there a pause takes a whole line, and the session goes on as usual.
TEST_F(TerminalTest, TerminalThatRefusesKeyModeContinuesAtALineEnd) {
    Program refused;
    refused.preload = REFUSING_TERMINAL;
    TerminalSession tty(dir_, 0, Launch::AsJob, refused);
    ASSERT_TRUE(tty.expect(kPrompt));
    tty.type("xy");
    ASSERT_TRUE(tty.expect("xy"));  // echoed, and not yet taken
    EXPECT_TRUE(tty.staysQuiet());
    tty.type("\n");
    std::string afterLine;
    ASSERT_TRUE(tty.expect(kClear + kMainMenu, &afterLine));
    EXPECT_EQ(afterLine, "\r\n");  // the echoed line end only
    tty.type("3\n");               // nothing of the pause's line is left to spoil this reply
    std::string listing;
    ASSERT_TRUE(tty.expect(kListEnd, &listing));
    EXPECT_EQ(listing.find("Invalid"), std::string::npos);
    ASSERT_TRUE(tty.expect(kPrompt));
    quitFromPause(tty, "\n");
}

namespace {

// The processes, zombies left out, of process group group and, when not 0,
// of session session.
std::vector<pid_t> livingIn(pid_t group, pid_t session) {
    std::vector<pid_t> found;
    std::error_code ignored;
    for (const auto& entry : fs::directory_iterator("/proc", ignored)) {
        const std::string name = entry.path().filename().string();
        if (name.find_first_not_of("0123456789") != std::string::npos) continue;
        const std::string stat = readFile(entry.path() / "stat");
        const size_t nameEnd = stat.rfind(')');
        if (nameEnd == std::string::npos) continue;
        std::istringstream fields(stat.substr(nameEnd + 1));
        char state = 0;
        long parent = 0, itsGroup = 0, itsSession = 0;
        if (!(fields >> state >> parent >> itsGroup >> itsSession) || state == 'Z') continue;
        if (itsGroup == group || (session != 0 && itsSession == session)) found.push_back(std::stoi(name));
    }
    return found;
}

}  // namespace

// A program that hangs, deaf to the hang-up of a closed terminal, with a
// second one it started: neither outlives the test that started them,
// whether the test ends them or is killed itself, as ctest kills a test at
// its TIMEOUT.
TEST_F(TerminalTest, HungProgramEndsWithItsWholeGroup) {
#ifndef __linux__
    GTEST_SKIP() << "the processes are found through /proc";
#endif
    // The shell's /proc/PID/stat holds its group and session.
    const std::string hang = "trap '' HUP; sleep 300 & cat /proc/$$/stat >stat.new && mv stat.new stat; wait";
    const fs::path stat = dir_ / "stat";
    auto started = [&] {
        for (auto until = Clock::now() + kPatience; Clock::now() < until; usleep(10000))
            if (fs::exists(stat)) return true;
        return false;
    };
    struct Row {
        const char* name;
        bool onTerminal;  // or else a shell run
        bool testKilled;  // or else the test ends the session
    };
    for (Row row :
         {Row{"terminal session ended by the test", true, false},
          Row{"terminal session, test killed", true, true}, Row{"shell run, test killed", false, true}}) {
        SCOPED_TRACE(row.name);
        fs::remove(stat);
        started_program::StartedProgram test([&] {  // the test process
            try {
                if (row.onTerminal) {
                    Program hung;
                    hung.command = {"/bin/sh", "-c", hang};
                    TerminalSession tty(dir_, 0, Launch::AsJob, hung);
                    if (!started()) _exit(1);
                    if (row.testKilled) raise(SIGKILL);
                } else {
                    runShell(dir_, hang);
                }
            } catch (...) {
                _exit(1);
            }
            _exit(0);
        });
        ASSERT_TRUE(started());
        const std::string shellStat = readFile(stat);
        std::istringstream fields(shellStat.substr(shellStat.rfind(')') + 1));
        char state = 0;
        long parent = 0, group = 0, session = 0;
        ASSERT_TRUE(fields >> state >> parent >> group >> session);
        if (!row.onTerminal) kill(test.pid(), SIGKILL);
        int status = 0;
        ASSERT_EQ(test.wait(&status), test.pid());
        EXPECT_EQ(describe(status), row.testKilled ? "killed by " + std::to_string(SIGKILL) : "exit 0");
        std::vector<pid_t> left;
        for (auto until = Clock::now() + kPatience; Clock::now() < until; usleep(10000))
            if ((left = livingIn(static_cast<pid_t>(group), row.onTerminal ? static_cast<pid_t>(session) : 0))
                    .empty())
                break;
        EXPECT_EQ(left.size(), 0u) << "processes left behind";
        for (pid_t process : left) kill(process, SIGKILL);
    }
}
