#include "contact.h"

#include <algorithm>

#include "latin_folding.h"

namespace {

// a goes before b as the number to write.
bool goesBefore(const PhoneValue& a, const PhoneValue& b) {
    if (a.preference != b.preference) return a.preference < b.preference;
    return a.voice && !b.voice;
}

}  // namespace

void Contact::addPhone(PhoneValue number) {
    if (number.text.find_first_not_of(" \t") == std::string::npos) return;
    ++phones;
    if (!phone || goesBefore(number, *phone)) {
        phoneIsFirst = !phone;
        phone = std::move(number);
    }
}

void Contact::note(std::string text) {
    if (notes.size() == kNoteLimit) {
        ++notesLeftOut;
        return;
    }
    notes.push_back(std::move(text));
}

void Contact::addGroup(std::string_view name) {
    if (name.empty()) return;
    std::string folded = caseFolded(name, kGroupNameLimit);
    starred = starred || isFavourites(folded);
    if (std::find(groups.begin(), groups.end(), folded) != groups.end()) return;
    if (groups.size() == kGroupLimit) {
        if (!groupsCut)
            note("it is in more than " + std::to_string(kGroupLimit) + " groups: the others are not read");
        groupsCut = true;
        return;
    }
    groups.push_back(std::move(folded));
}

bool isFavourites(std::string_view folded) {
    return folded == "starred" || folded == "favorites" || folded == "favourites";
}

std::string counted(long long count, const char* one, const char* many) {
    return std::to_string(count) + " " + (count == 1 ? one : many);
}

std::string quotedName(const Entry& entry) { return quotedShort(entry.first + " " + entry.last); }
