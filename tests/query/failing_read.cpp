// Preloaded into the program, makes the reads of a regular file fail with
// an I/O error from byte TELEDIR_FAIL_READ_AT on, as a failing disk does
// part-way through a file. Both reads a standard library may use are
// covered: read(2) (libstdc++) and fread(3) (libc++).
#include <dlfcn.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstdio>
#include <cstdlib>

namespace {

// The byte the reads stop at, or -1 when no read is to fail.
long failAt() {
    const char* at = std::getenv("TELEDIR_FAIL_READ_AT");
    return at != nullptr && *at != '\0' ? std::atol(at) : -1;
}

bool isRegularFile(int fd) {
    struct stat status {};
    return fstat(fd, &status) == 0 && S_ISREG(status.st_mode);
}

// How many of wanted bytes from offset may be read; -1 with errno set
// when none.
long allowed(long offset, std::size_t wanted) {
    long at = failAt();
    if (at < 0 || offset < 0) return static_cast<long>(wanted);
    if (offset >= at) {
        errno = EIO;
        return -1;
    }
    return static_cast<long>(std::min<std::size_t>(wanted, static_cast<std::size_t>(at - offset)));
}

}  // namespace

extern "C" ssize_t read(int fd, void* buffer, std::size_t size) {
    using Read = ssize_t (*)(int, void*, std::size_t);
    static Read next = reinterpret_cast<Read>(dlsym(RTLD_NEXT, "read"));
    if (isRegularFile(fd)) {
        long room = allowed(lseek(fd, 0, SEEK_CUR), size);
        if (room < 0) return -1;
        size = static_cast<std::size_t>(room);
    }
    return next(fd, buffer, size);
}

extern "C" std::size_t fread(void* buffer, std::size_t size, std::size_t count, FILE* stream) {
    using Fread = std::size_t (*)(void*, std::size_t, std::size_t, FILE*);
    static Fread next = reinterpret_cast<Fread>(dlsym(RTLD_NEXT, "fread"));
    if (size == 1 && isRegularFile(fileno(stream))) {
        long room = allowed(std::ftell(stream), count);
        if (room < 0) return 0;
        count = static_cast<std::size_t>(room);
    }
    return next(buffer, size, count, stream);
}
