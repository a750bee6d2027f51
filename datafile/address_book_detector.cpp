#include "address_book_detector.h"

#include <algorithm>

#include "ascii.h"

namespace {

// Enough for the longest header an address book writes (Outlook's, with
// some ninety columns, is under 2 KiB).
constexpr std::size_t kLineLimit = 4096;

bool endsWith(const std::string& text, std::string_view end) {
    return text.size() >= end.size() && text.compare(text.size() - end.size(), end.size(), end) == 0;
}

// A column's name lower case, without quotes, blanks or punctuation.
std::string normalized(std::string_view field) {
    std::string name;
    for (char c : field) {
        if (isAsciiLetterOrDigit(c)) name += asciiLower(c);
    }
    return name;
}

bool namesContactColumn(const std::string& name) {
    for (const char* known : {"first", "last", "surname", "forename", "tel", "telephone", "mobile", "cell",
                              "fax", "pager", "number", "areacode"})
        if (name == known) return true;
    // "Display Name", "Home Phone", "Mobile Number", Google's "Phone 1 - Value".
    return endsWith(name, "name") || endsWith(name, "phone") || endsWith(name, "number") ||
           name.compare(0, 5, "phone") == 0;
}

}  // namespace

char csvSeparatorOf(std::string_view line) {
    std::size_t commas = 0, semicolons = 0, tabs = 0;
    bool quoted = false;
    for (char c : line) {
        quoted = c == '"' ? !quoted : quoted;
        if (quoted) continue;
        commas += c == ',';
        semicolons += c == ';';
        tabs += c == '\t';
    }
    std::size_t most = std::max({commas, semicolons, tabs});
    return most == 0 ? '\0' : most == commas ? ',' : most == semicolons ? ';' : '\t';
}

namespace {

// The line's third word is a number, as an entry's area code is: the line
// is an entry, whatever commas its names hold ("Name,Phone Tel,Mobile 312
// 555-0187" is one).
bool thirdWordIsANumber(std::string_view line) {
    std::size_t at = 0;
    auto word = [&] {
        while (at < line.size() && isFieldSpace(line[at])) ++at;
        std::size_t start = at;
        while (at < line.size() && !isFieldSpace(line[at])) ++at;
        return line.substr(start, at - start);
    };
    word(), word();
    std::string_view third = word();
    if (!third.empty() && (third[0] == '+' || third[0] == '-')) third.remove_prefix(1);
    return !third.empty() && std::all_of(third.begin(), third.end(), isAsciiDigit);
}

bool isCsvHeader(std::string_view line) {
    char separator = csvSeparatorOf(line);
    if (separator == '\0' || thirdWordIsANumber(line)) return false;
    int known = 0;
    bool quoted = false;
    std::size_t start = 0;
    for (std::size_t at = 0; at <= line.size(); ++at) {
        if (at < line.size() && line[at] == '"') quoted = !quoted;
        if (at < line.size() && (quoted || line[at] != separator)) continue;
        known += namesContactColumn(normalized(line.substr(start, at - start))) ? 1 : 0;
        start = at + 1;
    }
    return known >= 2;
}

}  // namespace

void AddressBookDetector::passed(std::string_view bytes) {
    if (ended_) return;
    std::size_t end = std::min(bytes.find('\n'), bytes.size());
    line_.append(bytes.substr(0, std::min(end, kLineLimit - line_.size())));
    ended_ = end < bytes.size() || line_.size() == kLineLimit;
}

std::optional<AddressBook> AddressBookDetector::kind(bool utf16) const {
    std::string_view line = line_;
    std::string text;
    if (utf16) {
        // Its ASCII characters without their NUL bytes, after the mark.
        if (line.substr(0, 2) == "\xFF\xFE" || line.substr(0, 2) == "\xFE\xFF") line.remove_prefix(2);
        for (char c : line)
            if (c != '\0') text += c;
        line = text;
    }
    if (line.substr(0, 3) == "\xEF\xBB\xBF") line.remove_prefix(3);
    std::string head;
    for (char c : line)
        if (c != ' ' && c != '\t' && c != '\r') head += asciiLower(c);
    if (head == "begin:vcard") return AddressBook::Vcard;
    if (isCsvHeader(line)) return AddressBook::Csv;
    return std::nullopt;
}
