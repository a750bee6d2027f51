// A folder of cards, as vdirsyncer and khard keep an address book: one
// vCard file a contact (or a few), named UID.vcf.
#ifndef CONVERT_CARD_FOLDER_H
#define CONVERT_CARD_FOLDER_H

#include <string>
#include <string_view>
#include <vector>

// A card file's name: one ending in .vcf, in any letter case, that is not
// hidden (vdirsyncer's own files, an editor's, start with a dot).
bool isCardFileName(std::string_view name);

// name in folder, as messages show it: "DIR/name".
std::string pathIn(const std::string& folder, const std::string& name);

struct CardFiles {
    std::vector<std::string> paths;  // sorted by name, byte by byte
    std::string failure;             // the folder cannot be read: "cannot read: ..."
};

// The card files of folder; folders among them are left out.
CardFiles cardFilesIn(const std::string& folder);

#endif  // CONVERT_CARD_FOLDER_H
