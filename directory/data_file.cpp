#include "data_file.h"

#include <cerrno>
#include <cstring>
#include <fstream>

namespace {

// "cannot open: Permission denied"; the system's reason when it gave one.
std::string failureText(const char* what, int error) {
    return std::string(what) + ": " + (error != 0 ? std::strerror(error) : "unknown reason");
}

}  // namespace

DataFile readDataFile(const std::string& path) {
    DataFile file;
    errno = 0;
    std::ifstream in(path);
    if (!in.is_open()) {
        file.failure = failureText("cannot open", errno);
        return file;
    }
    char chunk[1 << 16];
    errno = 0;
    // A failed read (a directory of that name, an I/O error) leaves the
    // stream bad; the end of the file leaves it only failed.
    while (in.read(chunk, sizeof chunk) || in.gcount() > 0)
        file.content.append(chunk, static_cast<std::size_t>(in.gcount()));
    if (in.bad()) {
        file.failure = failureText("cannot read", errno);
        file.content.clear();
        return file;
    }
    file.readable = true;
    return file;
}
