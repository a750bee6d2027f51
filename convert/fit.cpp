#include "fit.h"

#include <algorithm>
#include <climits>

#include "ascii.h"
#include "entry_reader.h"
#include "message_text.h"
#include "phone_number.h"
#include "text_encoding.h"

namespace {

bool hasBlank(std::string_view text) { return std::any_of(text.begin(), text.end(), isFieldSpace); }

// The first character of text, or a stray byte of it.
Utf8Char nextCharacter(std::string_view text) {
    Utf8Char c = decodeUtf8(text);
    if (c.length == 0) c.length = text.size();  // a sequence cut short by the end
    return c;
}

bool isC1(char32_t c) { return c >= 0x80 && c < 0xA0; }

// The length of the terminal escape sequence at the start of text, which
// starts with ESC or a C1 control: a control sequence (ESC [ ... final), a
// string (ESC ] ..., ESC P ... up to BEL or ST), or ESC and one character.
std::size_t escapeLength(std::string_view text, char32_t first, std::size_t firstLength) {
    char32_t kind = first;
    std::size_t at = firstLength;
    if (first == 0x1B) {
        if (at == text.size()) return at;
        auto next = static_cast<unsigned char>(text[at]);
        if (next >= 0x80) return at;
        kind = next + 0x40;  // ESC [ stands for C1 0x9B, ESC ] for 0x9D...
        ++at;
        if (kind < 0x80 || kind >= 0xA0) return at;  // ESC and one character
    }
    bool isString = kind == 0x9D || kind == 0x90 || kind == 0x98 || kind == 0x9E || kind == 0x9F;
    if (kind != 0x9B && !isString) return at;
    while (at < text.size()) {
        Utf8Char c = nextCharacter(text.substr(at));
        at += c.length;
        if (!isString && c.code >= 0x40 && c.code <= 0x7E) return at;                           // final byte
        if (isString && (c.code == 0x07 || c.code == 0x9C)) return at;                          // BEL, ST
        if (isString && c.code == 0x1B && at < text.size() && text[at] == '\\') return at + 1;  // ESC \  .
    }
    return at;
}

std::string shown(const Contact& contact) {
    Cleaning ignored;
    std::string first(trimmed(cleanText(contact.first, ignored)));
    std::string last(trimmed(cleanText(contact.last, ignored)));
    if (first.empty() && last.empty()) return quoted(trimmed(cleanText(contact.fullName, ignored)));
    if (first.empty() || last.empty()) return quoted(first + last);
    return quoted(first + " " + last);
}

class Fitter {
public:
    explicit Fitter(const Contact& contact) : contact_(contact), shownName_(shown(contact)) {}

    Fitted fit() {
        for (const std::string& note : contact_.notes) warn(note);
        if (contact_.notesLeftOut > 0) warn(std::to_string(contact_.notesLeftOut) + " more such changes");
        if (!contact_.failure.empty()) {
            fail(contact_.failure);
        } else {
            LoadedEntry entry;
            entry.line = entry.lastLine = contact_.line;
            if (fitNames(entry) && fitPhone(entry)) fitted_.entry = std::move(entry);
        }
        return std::move(fitted_);
    }

private:
    void warn(const std::string& text) {
        fitted_.messages.push_back({contact_.line, Severity::Warning, shownName_ + ": " + text});
    }
    void fail(const std::string& text) {
        std::string name = shownName_ == "\"\"" ? "a contact" : shownName_;
        fitted_.messages.push_back({contact_.line, Severity::Error, name + ": " + text + "; not written"});
    }

    // The text cleaned, with a warning when that changed it.
    std::string cleaned(const std::string& text, const char* what) {
        Cleaning cleaning;
        std::string result = cleanText(text, cleaning);
        if (cleaning.notUtf8) {
            warn(std::string(what) + " holds bytes that are not UTF-8: read as Windows-1252, " +
                 quoted(result));
        }
        if (cleaning.surrogates) {
            warn(std::string(what) + " holds a UTF-16 surrogate without its other half, which is no " +
                 "character: written as U+FFFD, " + quoted(result));
        }
        if (cleaning.controls) {
            warn(std::string(what) + " holds control characters, which no name or number can: removed, " +
                 quoted(result));
        }
        return result;
    }

    bool fitNames(LoadedEntry& entry) {
        std::string first(trimmed(cleaned(contact_.first, "first name")));
        std::string last(trimmed(cleaned(contact_.last, "last name")));
        if (first.empty() && last.empty()) {
            std::string full(trimmed(cleaned(contact_.fullName, "full name")));
            if (full.empty()) {
                std::string number =
                    contact_.phone ? " (number " + quoted(trimmed(contact_.phone->text)) + ")" : "";
                fitted_.messages.push_back(
                    {contact_.line, Severity::Error, "a contact with no name" + number + "; not written"});
                return false;
            }
            // The last word is the last name, the words before it the first.
            std::size_t at = full.size();
            while (at > 0 && !isFieldSpace(full[at - 1])) --at;
            last = full.substr(at);
            first = trimmed(std::string_view(full).substr(0, at));
            if (!first.empty()) {
                warn("no structured name: the full name is taken as first name " + quoted(first) +
                     " and last name " + quoted(last));
            }
        }
        if (last.empty()) {
            last = first;
            warn("no last name: the first name is written as the last name too");
        } else if (first.empty()) {
            first = last;
            warn("no first name: the last name is written as the first name too");
        }
        entry.first = fitName(first, "first name");
        entry.last = fitName(last, "last name");
        return fitsField(entry.first, "first name") && fitsField(entry.last, "last name");
    }

    std::string fitName(const std::string& name, const char* what) {
        if (!hasBlank(name)) return name;
        std::string fitted = withoutBlanks(name);
        warn(std::string(what) + " " + quoted(name) + " holds a blank, which a field cannot: written as " +
             quoted(fitted));
        return fitted;
    }

    bool fitsField(const std::string& field, const char* what) {
        if (field.size() <= kFieldLimit) return true;
        fail(std::string(what) + " of more than " + std::to_string(kFieldLimit) + " bytes");
        return false;
    }

    bool fitPhone(LoadedEntry& entry) {
        if (!contact_.phone) {
            fail("no phone number");
            return false;
        }
        std::string text(trimmed(cleaned(contact_.phone->text, "number")));
        if (text.empty()) {
            fail("no phone number but control characters");
            return false;
        }
        if (contact_.phones > 1) {
            const PhoneValue& kept = *contact_.phone;
            const char* which = kept.preference != PhoneValue::kNotPreferred ? "the preferred one"
                                : contact_.phoneIsFirst                      ? "the first"
                                                                             : "the first voice number";
            warn(std::to_string(contact_.phones) + " phone numbers: " + which + ", " + quoted(text) +
                 ", is written");
        }
        FittedNumber fitted = fitNumber(text);
        if (!fitted.change.empty()) warn("number " + quoted(text) + ": " + fitted.change);
        entry.areaCode = fitted.areaCode;
        entry.number = fitted.number;
        return fitsField(entry.number, "number");
    }

    const Contact& contact_;
    std::string shownName_;  // the contact as messages name it
    Fitted fitted_;
};

}  // namespace

FittedNumber fitNumber(std::string_view text) {
    PhoneNumber number = readPhoneNumber(trimmed(text));
    EntryNumber entry = entryNumber(number);
    std::string change;
    switch (number.kind) {
        case NumberKind::NorthAmerican:
            if (number.certainty == Certainty::Guessed) {
                change = "eleven digits starting with 1 are taken as the North American number " +
                         telUri(number).substr(4) +
                         "; if it is another country's, write it with + and its country code";
            }
            break;
        case NumberKind::Local: change = "it has no area code: written with area code 0"; break;
        case NumberKind::International:
            change = "a number of country code " + std::to_string(number.countryCode) + ": written as " +
                     quoted(entry.token) + " with area code 0";
            break;
        case NumberKind::Digits:
            if (entry.areaCode >= 100 && entry.areaCode <= 999) {
                change = "the number after area code " + std::to_string(entry.areaCode) +
                         " is not seven digits: written as it stands";
            } else if (entry.areaCode != 0) {
                change = "its area code " + std::to_string(entry.areaCode) + " is not three digits";
            } else {
                change = "not a North American number of ten digits: written as it stands, with area code 0";
            }
            break;
        case NumberKind::NotANumber:
            change =
                "not a phone number, which no tool can dial or find: written as it stands, with area code " +
                std::to_string(entry.areaCode);
            break;
    }
    // What the unit reads as nothing ("tel:" with no number) still goes in
    // as written: an empty token would leave the entry without its number.
    if (entry.token.empty()) {
        for (char c : trimmed(text)) entry.token += isFieldSpace(c) ? '-' : c;
    }
    return {entry.areaCode, entry.token, change};
}

std::string cleanText(std::string_view text, Cleaning& cleaning) {
    std::string result;
    result.reserve(text.size());
    std::size_t at = 0;
    while (at < text.size()) {
        if (char32_t high = keptSurrogateAt(text.substr(at))) {
            char32_t low = keptSurrogateAt(text.substr(at + 3));
            bool pair = isHighSurrogate(high) && isLowSurrogate(low);
            cleaning.surrogates = cleaning.surrogates || !pair;
            appendUtf8(result, pair ? joinedSurrogates(high, low) : kReplacementCharacter);
            at += pair ? 6 : 3;
            continue;
        }
        Utf8Char c = decodeUtf8OrWindows1252(text.substr(at));
        char32_t code = c.code;
        cleaning.notUtf8 = cleaning.notUtf8 || !c.valid;
        if (code == 0x1B || (c.valid && isC1(code))) {
            cleaning.controls = true;
            at += escapeLength(text.substr(at), code, c.length);
            continue;
        }
        at += c.length;
        bool control = (code < 0x20 && !isFieldSpace(static_cast<char>(code))) || code == 0x7F || isC1(code);
        if (control || code == 0xFEFF) {
            cleaning.controls = cleaning.controls || control;
            continue;
        }
        appendUtf8(result, code);
    }
    return result;
}

Fitted fitContact(const Contact& contact) { return Fitter(contact).fit(); }

void checkSameLastNames(std::vector<LoadedEntry>& entries, Messages& messages,
                        const std::vector<std::string>& files) {
    placeEntries(entries);
    for (const LoadedEntry& entry : entries) {
        if (!entry.shownInstead) continue;
        const LoadedEntry& shown = entries[*entry.shownInstead];
        Diagnostic warning =
            sameLastNameWarning(entry, shown, shown.file == entry.file ? "" : files.at(shown.file));
        messages.push_back({warning.line, warning.severity, std::move(warning.message), entry.file});
    }
}

std::string dataFileText(const std::vector<LoadedEntry>& entries) {
    std::string text;
    for (const LoadedEntry& entry : entries) {
        text.append(entry.first).append(" ").append(entry.last).append(" ");
        text.append(std::to_string(entry.areaCode)).append(" ").append(entry.number).append("\n");
    }
    return text;
}
