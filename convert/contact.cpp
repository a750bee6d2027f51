#include "contact.h"

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

std::string counted(long long count, const char* one, const char* many) {
    return std::to_string(count) + " " + (count == 1 ? one : many);
}

std::string quotedName(const Entry& entry) { return quoted(entry.first + " " + entry.last); }
