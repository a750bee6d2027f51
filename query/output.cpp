#include "output.h"

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
    json += "\\u";
    for (int shift = 12; shift >= 0; shift -= 4) json += kHex[(c >> shift) & 0xF];
}

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

std::string jsonEntry(const Entry& entry, bool lastNameSearch) {
    std::string json = "{\"first\":" + jsonString(entry.first) + ",\"last\":" + jsonString(entry.last) +
                       ",\"area_code\":" + std::to_string(entry.areaCode) +
                       ",\"number\":" + jsonString(entry.number) + ",\"line\":" + std::to_string(entry.line);
    if (lastNameSearch)
        json += std::string(",\"shown_by_last_name_search\":") + (entry.shownInstead < 0 ? "true" : "false");
    // The exact bytes of a field that is not UTF-8, which its string can
    // only approximate.
    const std::pair<const char*, const std::string*> fields[] = {
        {"first", &entry.first}, {"last", &entry.last}, {"number", &entry.number}};
    for (const auto& [name, text] : fields)
        if (!isUtf8(*text)) json += ",\"" + std::string(name) + "_bytes\":\"" + hexBytes(*text) + "\"";
    return json + "}";
}

}  // namespace

std::string tsvField(std::string_view text) {
    std::string field;
    field.reserve(text.size());
    for (char c : text) {
        switch (c) {
            case '\\': field += "\\\\"; break;
            case '\t': field += "\\t"; break;
            case '\n': field += "\\n"; break;
            case '\r': field += "\\r"; break;
            default: field += c;
        }
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
        } else if (c < 0x20 || (c >= 0x7F && c < 0xA0) || c == 0x2028 || c == 0x2029) {
            // C1 controls too, which a terminal may obey, and U+2028 and
            // U+2029, which end a line in JavaScript.
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
    std::string json = jsonEntry(entry, lastNameSearch);
    if (match != nullptr) {
        json.pop_back();  // the }
        json += std::string(",\"match\":\"") + strengthName(match->strength) + "\"";
        if (match->reason != Mismatch::None)
            json += std::string(",\"match_reason\":\"") + mismatchText(match->reason) + "\"";
        json += "}";
    }
    return json + '\n';
}
