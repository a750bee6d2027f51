#include "file_contents.h"

#include <cerrno>
#include <cstring>
#include <filesystem>
#include <fstream>

namespace {

// "cannot open: Permission denied"; the system's reason when it gave one.
std::string failureText(const char* what, int error) {
    return std::string(what) + ": " + (error != 0 ? std::strerror(error) : "unknown reason");
}

}  // namespace

FileContents readFileContents(const std::string& path) {
    FileContents file;
    // Told apart first, as systems differ in what opening one does.
    std::error_code unknown;
    if (std::filesystem::is_directory(path, unknown)) {
        file.failure = "cannot read: Is a directory";
        return file;
    }
    errno = 0;
    // Binary: Windows text mode would end the file at a Ctrl-Z byte. CR LF
    // line ends are whitespace all the same.
    std::ifstream in(path, std::ios::in | std::ios::binary);
    if (!in.is_open()) {
        file.failure = failureText("cannot open", errno);
        return file;
    }
    char chunk[1 << 16];
    errno = 0;
    // A failed read (an I/O error, a directory where opening one works)
    // leaves the stream bad; the end of the file leaves it only failed.
    while (in.read(chunk, sizeof chunk) || in.gcount() > 0)
        file.bytes.append(chunk, static_cast<std::size_t>(in.gcount()));
    if (in.bad()) {
        file.failure = failureText("cannot read", errno);
        file.bytes.clear();
        return file;
    }
    file.readable = true;
    return file;
}
