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

std::string groupKey(std::string_view name) {
    std::size_t from = name.find_first_not_of(" \t");
    if (from == std::string_view::npos) return "";
    return caseFolded(name.substr(from, name.find_last_not_of(" \t") + 1 - from), Contact::kGroupNameLimit);
}

void Contact::addGroup(std::string_view name) {
    if (groupsCut && starred) return;  // nothing more to learn
    std::string key = groupKey(name);
    if (key.empty()) return;
    starred = starred || isFavourites(key);
    if (groupsCut || std::find(groups.begin(), groups.end(), key) != groups.end()) return;
    if (groups.size() == kGroupLimit) {
        note("it is in more than " + std::to_string(kGroupLimit) + " groups: the others are not read");
        groupsCut = true;
        return;
    }
    groups.push_back(std::move(key));
}

bool isFavourites(std::string_view key) {
    return key == "starred" || key == "favorites" || key == "favourites";
}

std::string counted(long long count, const char* one, const char* many) {
    return std::to_string(count) + " " + (count == 1 ? one : many);
}
