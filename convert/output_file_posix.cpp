// Writing OUT on POSIX systems. A regular file (or none) is replaced in one
// step by a temporary file written beside it, so that a reader sees the old
// content or the whole new one; anything else (a FIFO, a device, a
// descriptor named as /dev/stdout or /dev/fd/N) is written into. Symbolic
// links are followed, never replaced.
#include "output_file.h"

#include <fcntl.h>
#include <signal.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <climits>
#include <cstdlib>
#include <cstring>
#include <memory>
#include <optional>
#include <string>
#include <utility>
#include <vector>

#include "ending_signals.h"

namespace {

#ifdef PATH_MAX
constexpr std::size_t kLongestPath = PATH_MAX;
#else
constexpr std::size_t kLongestPath = 4096;
#endif

// No longer than 14 bytes, the shortest limit on a name POSIX allows, so it
// fits on any file system where OUT's own name fits.
constexpr char kTemporaryName[] = ".tlcXXXXXX";

// As the kernel counts them before it gives up with ELOOP.
constexpr int kMostLinks = 40;

std::string cannotWrite(int error) { return std::string("cannot write: ") + std::strerror(error); }

// path up to and with its last slash; empty for a bare name.
std::string folderOf(const std::string& path) { return path.substr(0, path.rfind('/') + 1); }

// A system call's 0 or -1 as 0 or the errno of its failure.
int errorOf(int result) { return result == 0 ? 0 : errno; }

int readLink(const std::string& path, std::string& target) {
    std::string buffer(256, '\0');
    for (;;) {
        ssize_t length = readlink(path.c_str(), &buffer[0], buffer.size());
        if (length < 0) return errno;
        if (static_cast<std::size_t>(length) < buffer.size()) {
            target = buffer.substr(0, static_cast<std::size_t>(length));
            return 0;
        }
        buffer.resize(buffer.size() * 2);
    }
}

// A descriptor as a path names it: a link of /proc/PID/fd, where /dev/fd,
// /dev/stdout and /proc/self/fd lead on Linux, or a node of /dev/fd (the BSDs,
// macOS), which stands for the opener's own. Such a link reads as the name of
// what the descriptor has open ("pipe:[N]", "/home/ann/log (deleted)"), no
// file to replace or to make a temporary file beside.
struct NamedDescriptor {
    pid_t process;  // whose descriptor it is
    int number;
};

constexpr char kDigits[] = "0123456789";

// The process whose descriptors a folder holds: PID of /proc/PID/fd or
// /proc/PID/task/TID/fd, this process for /dev/fd; none for any other.
std::optional<pid_t> processOfDescriptors(const std::string& folder) {
    if (folder == "/dev/fd") return getpid();
    const std::string proc = "/proc/", task = "/task/";
    if (folder.compare(0, proc.size(), proc) != 0) return std::nullopt;
    std::size_t end = folder.find_first_not_of(kDigits, proc.size());
    if (end == proc.size() || end > proc.size() + 9 || end == std::string::npos) return std::nullopt;
    std::size_t fd = end;
    if (folder.compare(end, task.size(), task) == 0) {
        fd = folder.find_first_not_of(kDigits, end + task.size());
        if (fd == end + task.size() || fd == std::string::npos) return std::nullopt;
    }
    if (folder.compare(fd, std::string::npos, "/fd") != 0) return std::nullopt;
    return static_cast<pid_t>(std::stol(folder.substr(proc.size(), end - proc.size())));
}

// The descriptor path names, by its folder's real path, whatever the links
// and dots on the way; none when it names none.
std::optional<NamedDescriptor> descriptorNamed(const std::string& path) {
    std::size_t slash = path.rfind('/');
    std::string name = path.substr(slash == std::string::npos ? 0 : slash + 1);
    if (name.empty() || name.size() > 9 || name.find_first_not_of(kDigits) != std::string::npos)
        return std::nullopt;
    std::string folder = slash == std::string::npos ? "." : path.substr(0, slash + 1);
    std::unique_ptr<char, decltype(&std::free)> real(realpath(folder.c_str(), nullptr), &std::free);
    if (!real) return std::nullopt;
    std::optional<pid_t> process = processOfDescriptors(real.get());
    if (!process) return std::nullopt;
    return NamedDescriptor{*process, std::stoi(name)};
}

// Follows path through symbolic links to the file they finally name, which
// need not exist (a dangling link names the file to create); status is that
// file's and exists tells whether there is one. A descriptor's name ends the
// way there: descriptor is then set, and status and exists are not.
int followLinks(std::string& path, struct stat& status, bool& exists,
                std::optional<NamedDescriptor>& descriptor) {
    for (int links = 0;; ++links) {
        descriptor = descriptorNamed(path);
        if (descriptor) return 0;
        if (lstat(path.c_str(), &status) != 0) {
            exists = false;
            return errno == ENOENT ? 0 : errno;
        }
        exists = true;
        if (!S_ISLNK(status.st_mode)) return 0;
        if (links == kMostLinks) return ELOOP;
        std::string target;
        if (int error = readLink(path, target)) return error;
        path = target[0] == '/' ? target : folderOf(path).append(target);
    }
}

// An open file descriptor, closed by the destructor unless closed before.
class Descriptor {
public:
    explicit Descriptor(int fd) : fd_(fd) {}
    ~Descriptor() {
        if (fd_ >= 0) (void)::close(fd_);
    }
    Descriptor(const Descriptor&) = delete;
    Descriptor& operator=(const Descriptor&) = delete;

    int get() const { return fd_; }
    int close() { return errorOf(::close(std::exchange(fd_, -1))); }

private:
    int fd_;
};

int writeBytes(int fd, std::string_view bytes) {
    const char* next = bytes.data();
    std::size_t left = bytes.size();
    while (left > 0) {
        ssize_t written = write(fd, next, left);
        if (written < 0 && errno == EINTR) continue;
        if (written <= 0) return written < 0 ? errno : EIO;
        next += written;
        left -= static_cast<std::size_t>(written);
    }
    return 0;
}

int writeAll(int fd, const Pieces& content) {
    int error = 0;
    content([&](std::string_view piece) {
        error = writeBytes(fd, piece);
        return error == 0;
    });
    return error;
}

// A FIFO or a device is written into, not replaced: what reads it gets the
// result, and it stays what it is. flags are added to those it is opened with.
int writeInto(const std::string& path, const Pieces& content, int flags = 0) {
    Descriptor file(open(path.c_str(), O_WRONLY | O_NOCTTY | O_CLOEXEC | flags));
    if (file.get() < 0) return errno;
    int error = writeAll(file.get(), content);
    int closed = file.close();
    return error != 0 ? error : closed;
}

// A descriptor of this process is written through, where it stands and
// appending if it was opened so, as `>` and `>>` of the shell have it; it
// stays open. Another process's is opened anew, which for a regular file
// would write from its start over what it holds: appending keeps that (its
// position is that process's, which this one cannot move on).
int writeToDescriptor(const std::string& path, const NamedDescriptor& named, const Pieces& content) {
    if (named.process != getpid()) return writeInto(path, content, O_APPEND);
    int flags = fcntl(named.number, F_GETFL);
    if (flags < 0) return errno;
    if ((flags & O_ACCMODE) == O_RDONLY) return EBADF;
    return writeAll(named.number, content);
}

// The replacement takes over OUT's owner and group where this run may set
// them, and its permission bits, but never set-user-ID or set-group-ID: a
// file this program writes is no program to run with another's rights. Where
// the group cannot be kept, the group it gets has no more rights than others.
int takeOver(int fd, const struct stat& old) {
    mode_t mode = old.st_mode & 0777;
    if (fchown(fd, old.st_uid, old.st_gid) != 0) {
        if (errno != EPERM) return errno;
        if (fchown(fd, static_cast<uid_t>(-1), old.st_gid) != 0) {
            if (errno != EPERM) return errno;
            mode = (mode & ~mode_t{070}) | ((mode & 07) << 3);
        }
    }
    return errorOf(fchmod(fd, mode));
}

mode_t currentUmask() {
    mode_t mask = umask(0);
    umask(mask);
    return mask;
}

// The signal handler's view of the temporary file: a handler can reach only
// static storage, and must read the name without allocating. Written only
// with the ending signals blocked, by the one TemporaryFile there is at a time.
struct PendingRemoval {
    volatile sig_atomic_t armed;
    char path[kLongestPath];
};
PendingRemoval pending;

// Removes the temporary file, then dies of the signal as the program would
// have without this handler. The program dies here, so its coverage is
// never saved.
void removeAndEnd(int sig) {  // GCOVR_EXCL_START
    if (pending.armed != 0) (void)unlink(pending.path);
    struct sigaction byDefault {};
    byDefault.sa_handler = SIG_DFL;
    sigemptyset(&byDefault.sa_mask);
    (void)sigaction(sig, &byDefault, nullptr);
    (void)raise(sig);
}  // GCOVR_EXCL_STOP

sigset_t emptySet() {
    sigset_t set;
    sigemptyset(&set);
    return set;
}

// The ending signals held back for the life of the object.
class SignalsBlocked {
public:
    explicit SignalsBlocked(const sigset_t& signals) { sigprocmask(SIG_BLOCK, &signals, &before_); }
    ~SignalsBlocked() { sigprocmask(SIG_SETMASK, &before_, nullptr); }
    SignalsBlocked(const SignalsBlocked&) = delete;
    SignalsBlocked& operator=(const SignalsBlocked&) = delete;

private:
    sigset_t before_;
};

// The temporary file's name and its removal: by the destructor unless the
// file was renamed, and by any signal that ends the program meanwhile. A
// signal with other than its default action (ignored since the program
// started, say) keeps it. One at a time.
class TemporaryFile {
public:
    TemporaryFile() {
        std::vector<int> signals = endingSignals();
        caught_.reserve(signals.size());
        for (int sig : signals) sigaddset(&blocked_, sig);
        SignalsBlocked quiet(blocked_);
        struct sigaction handler {};
        handler.sa_handler = removeAndEnd;
        handler.sa_mask = blocked_;
        for (int sig : signals) {
            struct sigaction before {};
            if (sigaction(sig, nullptr, &before) != 0 || before.sa_handler != SIG_DFL) continue;
            (void)sigaction(sig, &handler, nullptr);
            caught_.emplace_back(sig, before);
        }
    }
    ~TemporaryFile() {
        SignalsBlocked quiet(blocked_);
        if (pending.armed != 0) (void)unlink(pending.path);
        pending.armed = 0;
        for (const auto& [sig, before] : caught_) sigaction(sig, &before, nullptr);
    }
    TemporaryFile(const TemporaryFile&) = delete;
    TemporaryFile& operator=(const TemporaryFile&) = delete;

    // Creates the file in folder (empty: the current one), where no other
    // file was taken for it, readable by its owner only; returns its open
    // descriptor, or -1 and error() tells why.
    int create(const std::string& folder) {
        std::string name = folder + kTemporaryName;
        if (name.size() >= sizeof pending.path) {
            error_ = ENAMETOOLONG;
            return -1;
        }
        SignalsBlocked quiet(blocked_);
        std::memcpy(pending.path, name.c_str(), name.size() + 1);
        int fd = mkstemp(pending.path);
        error_ = fd < 0 ? errno : 0;
        pending.armed = fd >= 0;
        return fd;
    }
    int error() const { return error_; }
    int renameOver(const std::string& target) {
        SignalsBlocked quiet(blocked_);
        if (rename(pending.path, target.c_str()) != 0) return errno;
        pending.armed = 0;
        return 0;
    }

private:
    sigset_t blocked_ = emptySet();
    std::vector<std::pair<int, struct sigaction>> caught_;
    int error_ = 0;
};

}  // namespace

std::string writeOutputFile(const std::string& target, const Pieces& content, unsigned long* otherLinks) {
    if (otherLinks != nullptr) *otherLinks = 0;
    std::string path = target;
    struct stat old {};
    bool exists = false;
    std::optional<NamedDescriptor> descriptor;
    if (int error = followLinks(path, old, exists, descriptor)) return cannotWrite(error);
    if (descriptor || (exists && !S_ISREG(old.st_mode))) {
        int error = descriptor ? writeToDescriptor(path, *descriptor, content) : writeInto(path, content);
        return error != 0 ? cannotWrite(error) : "";
    }
    TemporaryFile temporary;
    Descriptor file(temporary.create(folderOf(path)));  // closed before the temporary file is removed
    if (file.get() < 0) {
        return std::string("cannot create a temporary file in its folder: ") +
               std::strerror(temporary.error());
    }
    int error = writeAll(file.get(), content);
    if (error == 0)
        error = exists ? takeOver(file.get(), old) : errorOf(fchmod(file.get(), 0666 & ~currentUmask()));
    if (error == 0) error = errorOf(fsync(file.get()));
    if (error == 0) error = file.close();
    if (error == 0) error = temporary.renameOver(path);
    if (error != 0) return cannotWrite(error);
    if (otherLinks != nullptr && exists && old.st_nlink > 1)
        *otherLinks = static_cast<unsigned long>(old.st_nlink) - 1;
    return "";
}
