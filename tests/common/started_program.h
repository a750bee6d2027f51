// A program a test starts, in a process group that ends whole with the test:
// when the test is done with it, when an assertion fails or an exception
// leaves the test, and when the test process itself is killed, as ctest
// does at a test's TIMEOUT. Whatever the program starts in its group ends
// with it.
//
// The group is led by a guard process that holds the read end of a pipe,
// the lifeline, whose write end only the test process holds. Once that end
// is closed, by the owner or by the kernel when the test process ends in
// whatever way, the guard kills every process of its group, itself the
// last. The kill comes from inside the group, so it never depends on a
// process group number that might have been given to others meanwhile.
#ifndef TESTS_COMMON_STARTED_PROGRAM_H
#define TESTS_COMMON_STARTED_PROGRAM_H

#include <fcntl.h>
#include <signal.h>
#include <sys/resource.h>
#include <sys/syscall.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <chrono>
#include <stdexcept>
#include <thread>

namespace started_program {

// Closes the descriptors from first to last (to the highest there may be
// when last is -1). Only async-signal-safe calls.
inline void closeRange(int first, int last, long openMax) {
    if (last != -1 && last < first) return;
#if defined(__linux__) && defined(SYS_close_range)
    if (syscall(SYS_close_range, static_cast<unsigned>(first), last == -1 ? ~0u : static_cast<unsigned>(last),
                0u) == 0)
        return;
#endif
    for (long fd = first; fd <= (last == -1 ? (openMax > 0 ? openMax : 1024) - 1 : last); ++fd)
        close(static_cast<int>(fd));
}

// Closes every descriptor above 2 but kept0 and kept1: a forked child that
// does not exec must not keep another end of a pipe, which would keep its
// reader from ever seeing the end. openMax is sysconf(_SC_OPEN_MAX). Only
// async-signal-safe calls.
inline void closeAllBut(int kept0, int kept1, long openMax) {
    const int low = kept0 < kept1 ? kept0 : kept1, high = kept0 < kept1 ? kept1 : kept0;
    int first = 3;
    for (int kept : {low, high}) {
        if (kept < first) continue;
        closeRange(first, kept - 1, openMax);
        first = kept + 1;
    }
    closeRange(first, -1, openMax);
}

// Forks the guard of a process group: with group 0 it leads a group of its
// own, otherwise it joins group (of its parent's session). It keeps only
// lifeline, the read end, open and ignores every signal it can, and when
// the write end is closed everywhere it kills its whole group. Returns its
// process ID, or -1 when it cannot be started. Only async-signal-safe calls
// after fork, so a forked child may start one too.
inline pid_t startGuard(int lifeline, pid_t group) {
    const long openMax = sysconf(_SC_OPEN_MAX);
    pid_t guard = fork();
    if (guard != 0) {
        if (guard > 0) setpgid(guard, group);  // as the guard does, whichever comes first
        return guard;
    }
    setpgid(0, group);
    // A guard outside the group it was meant for must not kill its own.
    if (group == 0 ? getpgrp() != getpid() : getpgrp() != group) _exit(1);
    for (int sig = 1; sig < NSIG; ++sig) (void)signal(sig, SIG_IGN);
    // Only the lifeline open, as standard input.
    if (lifeline != 0 && dup2(lifeline, 0) != 0) _exit(1);
    closeRange(1, -1, openMax);
    char byte;
    for (ssize_t got; (got = read(0, &byte, 1)) != 0;)
        if (got < 0 && errno != EINTR) break;
    kill(0, SIGKILL);
    _exit(0);
}

// A pipe for startGuard: read end, write end, both closed on exec.
inline void makeLifeline(int ends[2]) {
    if (pipe(ends) == -1) throw std::runtime_error("pipe failed");
    for (int k = 0; k < 2; ++k) fcntl(ends[k], F_SETFD, FD_CLOEXEC);
}

// A program in a guarded process group of its own, a child of this
// process; ended with its group by end() or by the destructor.
class StartedProgram {
public:
    // Forks, and runs inChild in the child, which should exec or _exit
    // (127 when it returns); only async-signal-safe calls there.
    template <typename InChild>
    explicit StartedProgram(InChild inChild) {
        int ends[2];
        makeLifeline(ends);
        lifeline_ = ends[1];
        guard_ = startGuard(ends[0], 0);
        close(ends[0]);
        if (guard_ == -1) {
            close(lifeline_);
            throw std::runtime_error("fork failed");
        }
        pid_ = fork();
        if (pid_ == 0) {
            setpgid(0, guard_);
            if (getpgrp() != guard_) _exit(126);  // never outside the guarded group
            inChild();
            _exit(127);
        }
        if (pid_ == -1) {
            end();
            throw std::runtime_error("fork failed");
        }
        setpgid(pid_, guard_);
    }
    StartedProgram(const StartedProgram&) = delete;
    StartedProgram& operator=(const StartedProgram&) = delete;
    ~StartedProgram() { end(); }

    pid_t pid() const { return pid_; }
    pid_t group() const { return guard_; }

    // wait4 on the program; once it has ended, its status stays in *status.
    pid_t wait(int* status, int options = 0, rusage* usage = nullptr) {
        if (reaped_) {
            *status = status_;
            return pid_;
        }
        pid_t got;
        while ((got = wait4(pid_, &status_, options, usage)) == -1 && errno == EINTR) {
        }
        if (got == pid_ && !WIFSTOPPED(status_) && !WIFCONTINUED(status_)) reaped_ = true;
        *status = status_;
        return got;
    }

    // Waits until the program ends or until the deadline; whether it ended.
    bool waitUntil(std::chrono::steady_clock::time_point deadline, int* status) {
        auto nap = std::chrono::microseconds(200);
        while (wait(status, WNOHANG) == 0) {
            if (std::chrono::steady_clock::now() >= deadline) return false;
            std::this_thread::sleep_for(nap);
            nap = std::min(nap * 2, std::chrono::microseconds(10000));
        }
        return true;
    }

    // Kills the whole group, if not yet done, and waits for the program
    // and the guard.
    void end() {
        if (lifeline_ < 0) return;
        close(lifeline_);
        lifeline_ = -1;
        int status;
        if (!reaped_ && pid_ > 0) {
            kill(pid_, SIGKILL);  // also when it has left the group
            wait(&status);
        }
        while (waitpid(guard_, nullptr, 0) == -1 && errno == EINTR) {
        }
    }

private:
    int lifeline_ = -1;
    pid_t guard_ = -1;
    pid_t pid_ = -1;
    bool reaped_ = false;
    int status_ = 0;
};

}  // namespace started_program

#endif  // TESTS_COMMON_STARTED_PROGRAM_H
