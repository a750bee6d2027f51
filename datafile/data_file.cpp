#include "data_file.h"

#include <cerrno>
#include <cstring>
#include <filesystem>

#include "system_path.h"

OpenedFile openDataFile(const std::string& path) {
    OpenedFile file;
    // Told apart first, as systems differ in what opening one does.
    const std::filesystem::path name = systemPath(path);
    std::error_code unknown;
    if (std::filesystem::is_directory(name, unknown)) {
        file.failure = "cannot read: Is a directory";
        return file;
    }
    errno = 0;
    file.stream.open(name, std::ios::in | std::ios::binary);
    if (!file.stream.is_open()) {
        int error = errno;
        file.failure = std::string("cannot open: ") + (error != 0 ? std::strerror(error) : "unknown reason");
    }
    return file;
}
