#include "output_file.h"

#include <cerrno>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <random>

namespace fs = std::filesystem;

namespace {

std::string reason(const char* what, int error) {
    return std::string(what) + ": " + (error != 0 ? std::strerror(error) : "unknown reason");
}

// A name in target's folder that no file has yet: the rename then stays
// on one file system, where it replaces target in one step.
fs::path temporaryName(const fs::path& target) {
    std::random_device seed;
    std::mt19937 random(seed());
    fs::path folder = target.parent_path();
    fs::path name;
    std::error_code unknown;
    do {
        name = folder / ("." + target.filename().string() + ".tmp" + std::to_string(random() % 1000000));
    } while (fs::exists(fs::symlink_status(name, unknown)));
    return name;
}

}  // namespace

std::string writeFileAtomically(const std::string& target, const std::string& content) {
    const fs::path path(target);
    const fs::path temporary = temporaryName(path);
    std::error_code ignored;
    errno = 0;
    std::ofstream file(temporary, std::ios::out | std::ios::binary | std::ios::trunc);
    if (!file.is_open()) return reason("cannot create a temporary file in its folder", errno);
    errno = 0;
    file.write(content.data(), static_cast<std::streamsize>(content.size()));
    file.flush();
    int error = errno;
    bool written = file.good();
    file.close();
    if (!written || file.fail()) {
        if (error == 0) error = errno;
        fs::remove(temporary, ignored);
        return reason("cannot write", error);
    }
    fs::file_status existing = fs::status(path, ignored);
    if (fs::is_regular_file(existing)) fs::permissions(temporary, existing.permissions(), ignored);
    std::error_code renamed;
    fs::rename(temporary, path, renamed);
    if (renamed) {
        fs::remove(temporary, ignored);
        return "cannot write: " + renamed.message();
    }
    return "";
}
