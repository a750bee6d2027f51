#include "vcard_import.h"

#include <algorithm>
#include <cstdint>
#include <string>
#include <utility>

#include "text_encoding.h"

namespace {

char upperByte(char c) { return c >= 'a' && c <= 'z' ? static_cast<char>(c - 'a' + 'A') : c; }

std::string upper(std::string_view text) {
    std::string result(text);
    for (char& c : result) c = upperByte(c);
    return result;
}

bool startsWithNoCase(std::string_view text, std::string_view prefix) {
    return text.size() >= prefix.size() && upper(text.substr(0, prefix.size())) == prefix;
}

// ======================================================================
//  Lines: physical lines, unfolded into content lines
// ======================================================================

struct ContentLine {
    std::string text;
    int line;  // where it starts
};

// The head of a content line (before the first colon) names
// quoted-printable encoding: its value may go on after a soft line break,
// an "=" at the end of a line.
bool isQuotedPrintable(const std::string& text) {
    return upper(text.substr(0, text.find(':'))).find("QUOTED-PRINTABLE") != std::string::npos;
}

std::vector<ContentLine> contentLines(std::string_view text) {
    std::vector<ContentLine> lines;
    bool softBreak = false;  // the last content line ended in a quoted-printable "="
    int number = 0;
    while (!text.empty()) {
        std::size_t end = text.find('\n');
        std::string_view physical = text.substr(0, end);
        text.remove_prefix(end == std::string_view::npos ? text.size() : end + 1);
        ++number;
        if (!physical.empty() && physical.back() == '\r') physical.remove_suffix(1);
        if (softBreak) {
            lines.back().text += physical;
        } else if (!lines.empty() && !physical.empty() && (physical[0] == ' ' || physical[0] == '\t')) {
            lines.back().text += physical.substr(1);
        } else {
            lines.push_back({std::string(physical), number});
        }
        std::string& last = lines.back().text;
        softBreak = !last.empty() && last.back() == '=' && isQuotedPrintable(last);
        if (softBreak) last.pop_back();
    }
    return lines;
}

// ======================================================================
//  Properties: [group.]NAME;PARAM=VALUE;...:value
// ======================================================================

struct Property {
    std::string name;  // upper case, without its group
    std::string encoding, charset, value;
    std::vector<std::string> types;  // upper case
    int preference = PhoneValue::kNotPreferred;
};

// Splits text at each sep outside double quotes.
std::vector<std::string> splitOutsideQuotes(std::string_view text, char sep) {
    std::vector<std::string> parts(1);
    bool inQuotes = false;
    for (char c : text) {
        if (c == '"') inQuotes = !inQuotes;
        if (c == sep && !inQuotes) {
            parts.emplace_back();
        } else {
            parts.back() += c;
        }
    }
    return parts;
}

std::string unquoted(std::string value) {
    if (value.size() >= 2 && value.front() == '"' && value.back() == '"')
        return value.substr(1, value.size() - 2);
    return value;
}

int preferenceValue(const std::string& text) {
    int value = 0;
    for (char c : text) {
        if (c < '0' || c > '9' || value > 1000) return 1;
        value = value * 10 + (c - '0');
    }
    return text.empty() ? 1 : value;
}

void addParameter(Property& property, const std::string& parameter) {
    std::size_t equals = parameter.find('=');
    std::string key = upper(parameter.substr(0, equals));
    if (equals == std::string::npos) {
        // vCard 2.1 writes most parameters bare: TEL;CELL;PREF:...
        if (key == "QUOTED-PRINTABLE" || key == "BASE64" || key == "8BIT" || key == "7BIT") {
            property.encoding = key;
        } else if (key == "PREF") {
            property.preference = 1;
        } else {
            property.types.push_back(key);
        }
        return;
    }
    std::string value = unquoted(parameter.substr(equals + 1));
    if (key == "ENCODING") {
        property.encoding = upper(value);
    } else if (key == "CHARSET") {
        property.charset = upper(value);
    } else if (key == "PREF") {
        property.preference = std::min(property.preference, preferenceValue(value));
    } else if (key == "TYPE") {
        for (const std::string& type : splitOutsideQuotes(value, ',')) {
            property.types.push_back(upper(unquoted(type)));
            if (property.types.back() == "PREF") property.preference = std::min(property.preference, 1);
        }
    }
}

Property parseProperty(const std::string& line) {
    Property property;
    std::size_t colon = std::string::npos;
    bool inQuotes = false;
    for (std::size_t k = 0; k < line.size() && colon == std::string::npos; ++k) {
        if (line[k] == '"') inQuotes = !inQuotes;
        if (line[k] == ':' && !inQuotes) colon = k;
    }
    if (colon == std::string::npos) return property;  // no property: nameless, so ignored
    std::vector<std::string> head = splitOutsideQuotes(std::string_view(line).substr(0, colon), ';');
    std::string name = upper(head[0]);
    std::size_t dot = name.rfind('.');
    property.name = dot == std::string::npos ? name : name.substr(dot + 1);
    for (std::size_t k = 1; k < head.size(); ++k) addParameter(property, head[k]);
    property.value = line.substr(colon + 1);
    return property;
}

// ======================================================================
//  Values: quoted-printable, character sets, escapes
// ======================================================================

int hexValue(char c) {
    if (c >= '0' && c <= '9') return c - '0';
    c = upperByte(c);
    if (c >= 'A' && c <= 'F') return c - 'A' + 10;
    return -1;
}

std::string decodeQuotedPrintable(std::string_view text) {
    std::string decoded;
    for (std::size_t k = 0; k < text.size(); ++k) {
        if (text[k] == '=' && k + 2 < text.size() && hexValue(text[k + 1]) >= 0 &&
            hexValue(text[k + 2]) >= 0) {
            decoded += static_cast<char>(hexValue(text[k + 1]) * 16 + hexValue(text[k + 2]));
            k += 2;
        } else {
            decoded += text[k];
        }
    }
    return decoded;
}

// The value's bytes as UTF-8; a character set it does not know is noted
// and its bytes kept.
std::string decodedValue(const Property& property, std::vector<std::string>& notes) {
    std::string value =
        property.encoding == "QUOTED-PRINTABLE" ? decodeQuotedPrintable(property.value) : property.value;
    const std::string& charset = property.charset;
    if (charset.empty() || charset == "UTF-8" || charset == "UTF8" || charset == "US-ASCII" ||
        charset == "ASCII")
        return value;
    if (charset == "ISO-8859-1" || charset == "ISO8859-1" || charset == "LATIN1") return toUtf8(value, false);
    if (charset == "WINDOWS-1252" || charset == "CP1252") return toUtf8(value, true);
    notes.push_back("character set " + charset + " of its " + property.name +
                    " is not one this program converts (UTF-8, ISO-8859-1, Windows-1252): its bytes are kept "
                    "as they are");
    return value;
}

// The components of a structured value, split at each unescaped ";",
// with their escapes undone: \\ \, \; and \n (a line end).
std::vector<std::string> components(std::string_view value) {
    std::vector<std::string> parts(1);
    for (std::size_t k = 0; k < value.size(); ++k) {
        char c = value[k];
        if (c == '\\' && k + 1 < value.size()) {
            char next = value[++k];
            if (next == 'n' || next == 'N') {
                parts.back() += '\n';
            } else if (next == '\\' || next == ',' || next == ';' || next == ':') {
                parts.back() += next;
            } else {
                parts.back() += c;
                parts.back() += next;
            }
        } else if (c == ';') {
            parts.emplace_back();
        } else {
            parts.back() += c;
        }
    }
    return parts;
}

// The text of an unstructured value: its components joined again.
std::string textValue(std::string_view value) {
    std::vector<std::string> parts = components(value);
    std::string text = parts[0];
    for (std::size_t k = 1; k < parts.size(); ++k) text += ";" + parts[k];
    return text;
}

// A TEL value: a tel: URI without its scheme. A local number's
// phone-context, when it is a global number's start ("+1-617"), goes in
// front of it; any other context is dropped.
std::string phoneText(std::string text) {
    if (!startsWithNoCase(text, "TEL:")) return text;
    text.erase(0, 4);
    const std::string key = ";PHONE-CONTEXT=";
    std::size_t at = upper(text).find(key);
    if (at == std::string::npos) return text;
    std::string context = text.substr(at + key.size());
    context.erase(std::min(context.size(), context.find(';')));
    text.erase(at);
    return context.empty() || context[0] != '+' ? text : context + "-" + text;
}

// ======================================================================
//  Cards
// ======================================================================

class CardReader {
public:
    void property(const Property& property) {
        Contact& card = contact_;
        if (property.name == "N" && !haveN_) {
            haveN_ = true;
            std::vector<std::string> parts = components(decodedValue(property, card.notes));
            card.last = parts[0];
            if (parts.size() > 1) card.first = parts[1];
        } else if (property.name == "FN" && !haveFn_) {
            haveFn_ = true;
            card.fullName = textValue(decodedValue(property, card.notes));
        } else if (property.name == "TEL") {
            card.phones.push_back(
                {phoneText(textValue(decodedValue(property, card.notes))), property.preference});
        }
    }
    void begin(int line) {
        *this = CardReader();
        contact_.line = line;
    }
    Contact take() { return std::move(contact_); }

private:
    Contact contact_;
    bool haveN_ = false, haveFn_ = false;
};

}  // namespace

std::vector<Contact> readVCards(std::string_view text) {
    if (text.substr(0, 3) == "\xEF\xBB\xBF") text.remove_prefix(3);
    std::vector<Contact> contacts;
    CardReader card;
    int depth = 0;  // a 2.1 AGENT holds a card inside a card
    for (const ContentLine& line : contentLines(text)) {
        Property property = parseProperty(line.text);
        std::string value = upper(property.value);
        while (!value.empty() && (value.back() == ' ' || value.back() == '\t')) value.pop_back();
        if (property.name == "BEGIN" && value == "VCARD") {
            if (depth++ == 0) card.begin(line.line);
        } else if (property.name == "END" && value == "VCARD" && depth > 0) {
            if (--depth == 0) contacts.push_back(card.take());
        } else if (depth == 1) {
            card.property(property);
        }
    }
    if (depth > 0) contacts.push_back(card.take());  // a file cut short: the card as far as it goes
    return contacts;
}
