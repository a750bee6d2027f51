#include "chunk_read.h"

#include <cerrno>
#include <cstring>
#include <istream>

ChunkRead readChunk(std::istream& source, char* buffer, std::size_t capacity) {
    ChunkRead read;
    errno = 0;
    source.read(buffer, static_cast<std::streamsize>(capacity));
    // A failed read leaves the stream bad; the end of the file leaves it
    // only failed. libc++ (macOS, FreeBSD) takes a failed read for the end
    // of the file, which errno, cleared before the read, then tells apart.
    if (source.bad() || (source.eof() && errno != 0)) {
        read.failed = true;
        read.error = errno;
        return read;
    }
    read.size = static_cast<std::size_t>(source.gcount());
    return read;
}

std::string readFailureText(int error) {
    return std::string("cannot read: ") + (error != 0 ? std::strerror(error) : "unknown reason");
}
