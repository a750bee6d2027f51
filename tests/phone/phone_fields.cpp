// The phone-number unit for a test in another language: each line of
// standard input read as a number, and printed as one line of fields
// separated by tabs: kind, certainty, country code, area code, national
// digits, subscriber, extension, data-file area code and token, tel: URI,
// display form (0 or empty when not known).
#include <iostream>
#include <string>

#include "phone_number.h"

namespace {

const char* kindName(NumberKind kind) {
    switch (kind) {
        case NumberKind::NorthAmerican: return "north-american";
        case NumberKind::Local: return "local";
        case NumberKind::International: return "international";
        case NumberKind::Digits: return "digits";
        case NumberKind::NotANumber: break;
    }
    return "not-a-number";
}

const char* certaintyName(Certainty certainty) {
    switch (certainty) {
        case Certainty::Written: return "written";
        case Certainty::Plan: return "plan";
        case Certainty::Guessed: return "guessed";
        case Certainty::None: break;
    }
    return "none";
}

}  // namespace

int main() {
    std::string line;
    while (std::getline(std::cin, line)) {
        if (!line.empty() && line.back() == '\r') line.pop_back();
        PhoneNumber number = readPhoneNumber(line);
        EntryNumber entry = entryNumber(number);
        std::cout << kindName(number.kind) << '\t' << certaintyName(number.certainty) << '\t'
                  << number.countryCode << '\t' << number.areaCode << '\t' << number.national << '\t'
                  << number.subscriber << '\t' << number.extension << '\t' << entry.areaCode << '\t'
                  << entry.token << '\t' << telUri(number) << '\t' << displayNumber(number) << '\n';
    }
    return std::cout.flush() ? 0 : 1;
}
