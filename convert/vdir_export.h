// The directory's entries as a folder of cards, one file a contact named
// by its UID, as vdirsyncer and khard keep an address book. The folder may
// hold the files of others too: a list of the files this program wrote
// there (kManifestName) tells which it may change and remove.
#ifndef CONVERT_VDIR_EXPORT_H
#define CONVERT_VDIR_EXPORT_H

#include <functional>
#include <optional>
#include <string>
#include <vector>

#include "contact.h"

// The list of the card files this program wrote in the folder, one name a
// line. It starts with a dot, so that vdirsyncer and khard pass it by.
constexpr char kManifestName[] = ".telelist-convert";

// What became of one file of the folder. An unchanged file is not told of.
struct CardFileChange {
    enum class Kind {
        Added,
        Changed,
        Removed,
        NotOurs,  // a file of the card's name that this program did not write, holding another card
        Failed,   // it could not be written or removed
    };
    std::string name;  // in the folder
    Kind kind;
    std::string detail;  // NotOurs: the contact, quoted; Failed: the reason ("cannot write: ...")
};
using TellChange = std::function<void(const CardFileChange&)>;

struct CardFolderWrite {
    bool dryRun = false;     // tell what would change, and change nothing
    bool removeGone = true;  // remove the files of contacts no longer in the directory
};

// Writes a card file for each entry into folder, created when missing (but
// not its parents): a file is written as -o writes one, and only when its
// content changes. A file of a name the list does not hold is written only
// when it holds that very card (or one with its UID); the files the list
// holds whose contacts are gone are removed. Then the list is written anew.
// Returns why the folder cannot be used or its list not written, or
// nothing.
struct FolderFailure {
    std::string path;    // the folder, or its list
    std::string reason;  // "cannot create: ..."
};
std::optional<FolderFailure> writeCardFolder(const std::string& folder, const std::vector<Entry>& entries,
                                             const CardFolderWrite& how, const TellChange& tell);

#endif  // CONVERT_VDIR_EXPORT_H
