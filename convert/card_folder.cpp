#include "card_folder.h"

#include <algorithm>
#include <filesystem>
#include <system_error>

namespace fs = std::filesystem;

bool isCardFileName(std::string_view name) {
    if (name.size() <= 4 || name[0] == '.') return false;
    std::string_view extension = name.substr(name.size() - 4);
    for (std::size_t k = 0; k < 4; ++k) {
        char c = extension[k];
        if (c >= 'A' && c <= 'Z') c = static_cast<char>(c - 'A' + 'a');
        if (c != ".vcf"[k]) return false;
    }
    return true;
}

std::string pathIn(const std::string& folder, const std::string& name) {
    if (!folder.empty() && (folder.back() == '/' || folder.back() == '\\')) return folder + name;
    return folder + "/" + name;
}

CardFiles cardFilesIn(const std::string& folder) {
    CardFiles found;
    std::vector<std::string> names;
    std::error_code error;
    for (fs::directory_iterator at(folder, error), end; !error && at != end; at.increment(error)) {
        std::string name = at->path().filename().string();
        if (!isCardFileName(name)) continue;
        // A link that leads nowhere is kept, so that its open fails aloud.
        std::error_code unknown;
        if (at->is_directory(unknown)) continue;
        names.push_back(std::move(name));
    }
    if (error) {
        found.failure = "cannot read: " + error.message();
        return found;
    }
    std::sort(names.begin(), names.end());
    found.paths.reserve(names.size());
    for (const std::string& name : names) found.paths.push_back(pathIn(folder, name));
    return found;
}
