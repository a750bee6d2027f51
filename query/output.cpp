#include "output.h"

#include <algorithm>

#include "message_text.h"
#include "text_encoding.h"

namespace {

constexpr char kHex[] = "0123456789abcdef";

bool isUtf8(std::string_view text) {
    while (!text.empty()) {
        std::size_t length = utf8SequenceLength(text);
        if (length == 0) return false;
        text.remove_prefix(length);
    }
    return true;
}

void appendUnicodeEscape(std::string& json, char32_t c) {
    if (c > 0xFFFF) {  // as its UTF-16 surrogate pair
        appendUnicodeEscape(json, 0xD800 + ((c - 0x10000) >> 10));
        appendUnicodeEscape(json, 0xDC00 + ((c - 0x10000) & 0x3FF));
        return;
    }
    json += "\\u";
    for (int shift = 12; shift >= 0; shift -= 4) json += kHex[(c >> shift) & 0xF];
}

// The default output shows character, one valid UTF-8 sequence, as it is:
// it is no control and no character a terminal shows as nothing or a blank.
bool shownAsIs(std::string_view character) { return escaped(character) == character; }

std::string hexBytes(std::string_view bytes) {
    std::string hex;
    for (char c : bytes) {
        auto byte = static_cast<unsigned char>(c);
        hex += kHex[byte >> 4];
        hex += kHex[byte & 0xF];
    }
    return hex;
}

std::string linesEntry(const Entry& entry, bool lastNameSearch) {
    std::string line = escaped(entry.last) + ", " + escaped(entry.first);
    line += entry.number.empty()
                ? std::string("; phone number not available")
                : "; " + escaped(displayNumber(readEntryNumber(entry.areaCode, entry.number)));
    if (lastNameSearch && entry.shownInstead >= 0) line += " (not shown by teledir's last-name search)";
    return line;
}

std::string tsvEntry(const Entry& entry, bool lastNameSearch) {
    std::string line = tsvField(entry.first) + '\t' + tsvField(entry.last) + '\t' +
                       std::to_string(entry.areaCode) + '\t' + tsvField(entry.number);
    if (lastNameSearch) line += entry.shownInstead < 0 ? "\ttrue" : "\tfalse";
    return line;
}

// A line of long fields takes some MiB: it is made in one string, with room
// for the most it can take (a byte as \u00XX and as hex), which is never
// copied nor moved as it grows. Room never written is not resident.
std::string jsonEntry(const Entry& entry, bool lastNameSearch) {
    std::string json;
    json.reserve(8 * (entry.first.size() + entry.last.size() + entry.number.size()) + 200);
    json += "{\"first\":";
    json += jsonString(entry.first);
    json += ",\"last\":";
    json += jsonString(entry.last);
    json += ",\"area_code\":" + std::to_string(entry.areaCode) + ",\"number\":";
    json += jsonString(entry.number);
    json += ",\"line\":" + std::to_string(entry.line);
    if (lastNameSearch)
        json += std::string(",\"shown_by_last_name_search\":") + (entry.shownInstead < 0 ? "true" : "false");
    // The exact bytes of a field that is not UTF-8, which its string can
    // only approximate.
    const std::pair<const char*, const std::string*> fields[] = {
        {"first", &entry.first}, {"last", &entry.last}, {"number", &entry.number}};
    for (const auto& [name, text] : fields) {
        if (isUtf8(*text)) continue;
        json += ",\"" + std::string(name) + "_bytes\":\"";
        json += hexBytes(*text);
        json += '"';
    }
    json += '}';
    return json;
}

}  // namespace

std::string tsvField(std::string_view text) {
    std::string field;
    field.reserve(text.size());
    while (!text.empty()) {
        // These four are never part of a longer UTF-8 sequence: what lies
        // between them is escaped as the default output escapes it.
        std::size_t special = std::min(text.find_first_of("\\\t\n\r"), text.size());
        field += escaped(text.substr(0, special));
        if (special == text.size()) break;
        switch (text[special]) {
            case '\\': field += "\\\\"; break;
            case '\t': field += "\\t"; break;
            case '\n': field += "\\n"; break;
            default: field += "\\r";
        }
        text.remove_prefix(special + 1);
    }
    return field;
}

std::string jsonString(std::string_view text) {
    std::string json = "\"";
    while (!text.empty()) {
        Utf8Char character = decodeUtf8(text);
        if (!character.valid) {
            appendUnicodeEscape(json, static_cast<unsigned char>(text[0]));
            text.remove_prefix(1);
            continue;
        }
        char32_t c = character.code;
        if (c == '"' || c == '\\') {
            json += {'\\', static_cast<char>(c)};
        } else if (!shownAsIs(text.substr(0, character.length))) {
            // As the default output escapes them: controls (C1 too, which a
            // terminal may obey), U+2028 and U+2029, which end a line in
            // JavaScript, bidirectional controls, which reorder what follows
            // on a terminal, and what shows as nothing or as a blank.
            appendUnicodeEscape(json, c);
        } else {
            json.append(text.substr(0, character.length));
        }
        text.remove_prefix(character.length);
    }
    return json + "\"";
}

std::string entryLine(const Entry& entry, OutputFormat format, bool lastNameSearch,
                      const CallerIdMatch* match) {
    switch (format) {
        case OutputFormat::Lines: {
            bool weaker = match != nullptr && match->strength == MatchStrength::Weaker;
            return linesEntry(entry, lastNameSearch) +
                   (weaker ? std::string(" (a weaker match: ") + mismatchText(match->reason) + ")" : "") +
                   '\n';
        }
        case OutputFormat::Tsv:
            return tsvEntry(entry, lastNameSearch) +
                   (match ? std::string("\t") + strengthName(match->strength) : "") + '\n';
        case OutputFormat::Json: break;
    }
    // Appended to in place: a line of three long fields is megabytes.
    std::string json = jsonEntry(entry, lastNameSearch);
    if (match != nullptr) {
        json.pop_back();  // the }
        json += std::string(",\"match\":\"") + strengthName(match->strength) + "\"";
        if (match->reason != Mismatch::None)
            json += std::string(",\"match_reason\":\"") + mismatchText(match->reason) + "\"";
        json += "}";
    }
    json += '\n';
    return json;
}
