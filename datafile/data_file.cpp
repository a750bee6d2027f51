#include "data_file.h"

#include <cerrno>
#include <cstring>
#include <filesystem>

OpenedFile openDataFile(const std::string& path) {
    OpenedFile file;
    // Told apart first, as systems differ in what opening one does.
    std::error_code unknown;
    if (std::filesystem::is_directory(path, unknown)) {
        file.failure = "cannot read: Is a directory";
        return file;
    }
    errno = 0;
    file.stream.open(path, std::ios::in | std::ios::binary);
    if (!file.stream.is_open()) {
        int error = errno;
        file.failure = std::string("cannot open: ") + (error != 0 ? std::strerror(error) : "unknown reason");
    }
    return file;
}
