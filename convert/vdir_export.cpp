#include "vdir_export.h"

#include <filesystem>
#include <fstream>
#include <optional>
#include <set>
#include <string_view>
#include <system_error>

#include "card_folder.h"
#include "export.h"
#include "output_file.h"

namespace fs = std::filesystem;

namespace {

// The most of a file read to compare with a card or to find a UID in, and
// of the list: a card written is far shorter.
constexpr std::size_t kReadLimit = std::size_t{1} << 20;

struct FileRead {
    bool exists = false;
    bool read = false;  // text holds the file's first bytes
    std::string text;
};

// The first limit bytes of the file at path, when there is one.
FileRead readSome(const std::string& path, std::size_t limit) {
    FileRead file;
    std::error_code error;
    file.exists = fs::exists(fs::symlink_status(path, error));
    if (!file.exists || fs::is_directory(path, error)) return file;
    std::ifstream in(path, std::ios::binary);
    if (!in) return file;
    file.text.resize(limit);
    in.read(file.text.data(), static_cast<std::streamsize>(limit));
    file.read = !in.bad();
    file.text.resize(static_cast<std::size_t>(in.gcount()));
    return file;
}

// The names the list in the folder holds: card file names alone, so that a
// list written by hand can name no file elsewhere.
std::set<std::string> readManifest(const std::string& folder) {
    std::set<std::string> names;
    std::string text = readSome(pathIn(folder, kManifestName), kReadLimit).text;
    std::size_t at = 0;
    while (at < text.size()) {
        std::size_t end = text.find('\n', at);
        if (end == std::string::npos) end = text.size();
        std::string name = text.substr(at, end - at);
        if (!name.empty() && name.back() == '\r') name.pop_back();
        if (isCardFileName(name) && name.find_first_of("/\\") == std::string::npos) names.insert(name);
        at = end + 1;
    }
    return names;
}

std::string manifestText(const std::set<std::string>& names) {
    std::string text =
        "# The card files telelist-convert wrote in this folder: it changes and removes no other.\n";
    for (const std::string& name : names) text += name + "\n";
    return text;
}

// Whether a card file holds a card with this UID, as a server or another
// copy of this program's export writes it.
bool holdsUid(const std::string& text, const std::string& uid) {
    for (const std::string& property : {"UID:urn:uuid:" + uid, "UID:" + uid}) {
        for (std::size_t at = text.find(property); at != std::string::npos;
             at = text.find(property, at + 1)) {
            std::size_t end = at + property.size();
            bool lineStart = at == 0 || text[at - 1] == '\n';
            bool lineEnd = end == text.size() || text[end] == '\r' || text[end] == '\n';
            if (lineStart && lineEnd) return true;
        }
    }
    return false;
}

// Whether the file at path holds just what card writes, compared a piece
// at a time.
bool holdsCard(const std::string& path, const Pieces& card) {
    std::ifstream in(path, std::ios::binary);
    if (!in) return false;
    bool same = true;
    std::string piece;
    card([&](std::string_view text) {
        piece.resize(text.size());
        in.read(piece.data(), static_cast<std::streamsize>(text.size()));
        same =
            same && static_cast<std::size_t>(in.gcount()) == text.size() && std::string_view(piece) == text;
        return same;
    });
    return same && in.peek() == std::ifstream::traits_type::eof() && !in.bad();
}

}  // namespace

std::optional<FolderFailure> writeCardFolder(const std::string& folder, const std::vector<Entry>& entries,
                                             const CardFolderWrite& how, const TellChange& tell) {
    std::error_code error;
    if (!fs::exists(folder, error)) {
        if (!how.dryRun && !fs::create_directory(folder, error))
            return FolderFailure{folder, "cannot create: " + error.message()};
    } else if (!fs::is_directory(folder, error)) {
        return FolderFailure{folder, "is not a folder: --to vdir writes a folder of cards"};
    }
    const std::set<std::string> before = readManifest(folder);
    std::set<std::string> after;  // the list as this run leaves it
    std::set<std::string> written;
    eachVCard(entries, [&](const Entry& entry, const std::string& uid, const Pieces& card) {
        std::string name = uid + ".vcf";
        std::string path = pathIn(folder, name);
        written.insert(name);
        FileRead now = readSome(path, kReadLimit);
        if (now.read && holdsCard(path, card)) {
            after.insert(name);
            return true;
        }
        // A file of another's that cannot be read is not known to be this card.
        if (now.exists && before.count(name) == 0 && !(now.read && holdsUid(now.text, uid))) {
            tell({name, CardFileChange::Kind::NotOurs, quotedName(entry)});
            return true;
        }
        std::string failure = how.dryRun ? "" : writeOutputFile(path, card);
        if (!failure.empty()) {
            if (before.count(name) != 0) after.insert(name);
            tell({name, CardFileChange::Kind::Failed, failure});
            return true;
        }
        after.insert(name);
        tell({name, now.exists ? CardFileChange::Kind::Changed : CardFileChange::Kind::Added, ""});
        return true;
    });
    for (const std::string& name : before) {
        if (written.count(name) != 0) continue;
        std::string path = pathIn(folder, name);
        if (!how.removeGone) {
            after.insert(name);
            continue;
        }
        if (!fs::exists(fs::symlink_status(path, error))) continue;
        if (!how.dryRun && !fs::remove(path, error)) {
            if (!error) continue;  // gone meanwhile
            after.insert(name);
            tell({name, CardFileChange::Kind::Failed, "cannot remove: " + error.message()});
            continue;
        }
        tell({name, CardFileChange::Kind::Removed, ""});
    }
    std::string manifest = pathIn(folder, kManifestName);
    if (how.dryRun || (after == before && fs::exists(manifest, error))) return std::nullopt;
    std::string failure = writeOutputFile(manifest, manifestText(after));
    if (failure.empty()) return std::nullopt;
    return FolderFailure{manifest, failure};
}
