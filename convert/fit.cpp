#include "fit.h"

#include <algorithm>
#include <optional>

#include "entry_reader.h"
#include "message_text.h"
#include "sorted_table.h"

namespace {

bool isDigit(char c) { return c >= '0' && c <= '9'; }

std::string_view trimmed(std::string_view text) {
    while (!text.empty() && isFieldSpace(text.front())) text.remove_prefix(1);
    while (!text.empty() && isFieldSpace(text.back())) text.remove_suffix(1);
    return text;
}

bool hasBlank(std::string_view text) { return std::any_of(text.begin(), text.end(), isFieldSpace); }

// An optional minus and decimal digits whose value fits in an int.
std::optional<int> areaCodeValue(std::string_view text) {
    std::size_t at = !text.empty() && text[0] == '-' ? 1 : 0;
    if (at == text.size() || text.size() - at > 10) return std::nullopt;
    long long value = 0;
    for (std::size_t k = at; k < text.size(); ++k) {
        if (!isDigit(text[k])) return std::nullopt;
        value = value * 10 + (text[k] - '0');
    }
    if (at == 1) value = -value;
    if (value < INT_MIN || value > INT_MAX) return std::nullopt;
    return static_cast<int>(value);
}

bool isThreeDigits(int areaCode) { return areaCode >= 100 && areaCode <= 999; }

std::string areaCodeChange(int areaCode) {
    if (isThreeDigits(areaCode)) return "";
    return "its area code " + std::to_string(areaCode) + " is not three digits";
}

// "(AREA) NUMBER": one word after an area code in parentheses.
std::optional<FittedNumber> fitWrittenForm(std::string_view text) {
    if (text.empty() || text[0] != '(') return std::nullopt;
    std::size_t close = text.find(')');
    if (close == std::string_view::npos || close + 1 == text.size() || !isFieldSpace(text[close + 1]))
        return std::nullopt;
    std::optional<int> code = areaCodeValue(text.substr(1, close - 1));
    std::string_view rest = trimmed(text.substr(close + 1));
    if (!code || rest.empty() || hasBlank(rest)) return std::nullopt;
    return FittedNumber{*code, std::string(rest), areaCodeChange(*code)};
}

// Ten digits with separators, as North American numbers are written.
std::optional<FittedNumber> fitDigits(std::string_view text) {
    std::string digits;
    bool plus = false;
    for (std::size_t k = 0; k < text.size(); ++k) {
        char c = text[k];
        if (isDigit(c)) {
            digits += c;
        } else if (c == '+' && k == 0) {
            plus = true;
        } else if (!(isFieldSpace(c) || c == '.' || c == '-' || c == '(' || c == ')')) {
            return std::nullopt;
        }
    }
    if (digits.size() == 11 && digits[0] == '1') {
        digits.erase(0, 1);
    } else if (plus) {
        return std::nullopt;  // a country other than those of the North American plan
    }
    if (digits.size() == 10) {
        int code = std::stoi(digits.substr(0, 3));
        return FittedNumber{code, digits.substr(3, 3) + "-" + digits.substr(6), areaCodeChange(code)};
    }
    if (digits.size() == 7) {
        return FittedNumber{0, digits.substr(0, 3) + "-" + digits.substr(3),
                            "it has no area code: written with area code 0"};
    }
    return std::nullopt;
}

std::string shown(const Contact& contact) {
    std::string first(trimmed(contact.first)), last(trimmed(contact.last));
    if (first.empty() && last.empty()) return quoted(trimmed(contact.fullName));
    if (first.empty() || last.empty()) return quoted(first + last);
    return quoted(first + " " + last);
}

class Fitter {
public:
    Fitter(const Contact& contact, Messages& messages)
        : contact_(contact), messages_(messages), name_(shown(contact)) {}

    // The entry, or nothing when the contact cannot be written.
    std::optional<Entry> fit() {
        for (const std::string& note : contact_.notes) warn(note);
        std::optional<Entry> entry = Entry{contact_.line, "", "", 0, ""};
        if (!fitNames(*entry) || !fitPhone(*entry)) return std::nullopt;
        return entry;
    }

private:
    void warn(const std::string& text) {
        messages_.push_back({contact_.line, Severity::Warning, name_ + ": " + text});
    }
    void fail(const std::string& text) {
        messages_.push_back({contact_.line, Severity::Error, name_ + ": " + text + "; not written"});
    }

    bool fitNames(Entry& entry) {
        std::string first(trimmed(contact_.first)), last(trimmed(contact_.last));
        if (first.empty() && last.empty()) {
            std::string_view full = trimmed(contact_.fullName);
            if (full.empty()) {
                std::string number = contact_.phones.empty()
                                         ? ""
                                         : " (number " + quoted(trimmed(contact_.phones[0].text)) + ")";
                messages_.push_back(
                    {contact_.line, Severity::Error, "a contact with no name" + number + "; not written"});
                return false;
            }
            // The last word is the last name, the words before it the first.
            std::size_t at = full.size();
            while (at > 0 && !isFieldSpace(full[at - 1])) --at;
            last = full.substr(at);
            first = trimmed(full.substr(0, at));
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

    bool fitPhone(Entry& entry) {
        std::vector<PhoneValue> phones;
        for (const PhoneValue& phone : contact_.phones)
            if (!trimmed(phone.text).empty()) phones.push_back(phone);
        if (phones.empty()) {
            fail("no phone number");
            return false;
        }
        // The most preferred; among equals, the first in the file.
        auto kept = std::min_element(
            phones.begin(), phones.end(),
            [](const PhoneValue& a, const PhoneValue& b) { return a.preference < b.preference; });
        std::string_view text = trimmed(kept->text);
        if (phones.size() > 1) {
            warn(std::to_string(phones.size()) + " phone numbers: the " +
                 (kept->preference != PhoneValue::kNotPreferred ? "preferred" : "first") + " one, " +
                 quoted(text) + ", is written");
        }
        FittedNumber fitted = fitNumber(text);
        if (!fitted.change.empty()) warn("number " + quoted(text) + ": " + fitted.change);
        entry.areaCode = fitted.areaCode;
        entry.number = fitted.number;
        return fitsField(entry.number, "number");
    }

    const Contact& contact_;
    Messages& messages_;
    std::string name_;
};

apstring asApstring(const std::string& text) {
    apstring result;
    for (char c : text) result += c;  // NUL bytes included
    return result;
}

// The checker's finding on the table the entries make: entries that the
// last-name search never shows, since another has the same last name.
void checkSameLastNames(const std::vector<Entry>& entries, Messages& messages) {
    OwnedTable table;
    for (std::size_t k = 0; k < entries.size(); ++k) {
        int slot = static_cast<int>(k);
        table.lastName[slot] = asApstring(entries[k].last);
    }
    for (const UnreachableEntry& unreachable : unreachableEntries(table.columns())) {
        const Entry& hidden = entries[static_cast<std::size_t>(unreachable.place)];
        const Entry& reached = entries[static_cast<std::size_t>(unreachable.shownPlace)];
        messages.push_back({hidden.line, Severity::Warning,
                            "the last-name search never shows " + quotedName(hidden) + ": for " +
                                quoted(hidden.last) + " it shows " + quotedName(reached) + " (line " +
                                std::to_string(reached.line) + ") instead"});
    }
}

}  // namespace

std::string withoutBlanks(std::string_view text) {
    text = trimmed(text);
    std::string result;
    for (std::size_t k = 0; k < text.size(); ++k) {
        if (!isFieldSpace(text[k])) {
            result += text[k];
        } else if (!isFieldSpace(text[k - 1])) {
            result += '-';
        }
    }
    return result;
}

FittedNumber fitNumber(std::string_view text) {
    text = trimmed(text);
    if (std::optional<FittedNumber> written = fitWrittenForm(text)) return *written;
    if (std::optional<FittedNumber> digits = fitDigits(text)) return *digits;
    return {0, withoutBlanks(text),
            "not a North American number of ten digits: written as it stands, with area code 0"};
}

std::vector<Entry> fitContacts(const std::vector<Contact>& contacts, Messages& messages) {
    std::vector<Entry> entries;
    for (const Contact& contact : contacts) {
        std::optional<Entry> entry = Fitter(contact, messages).fit();
        if (!entry) continue;
        if (entries.size() == kSlotCount) {
            // A 17th entry would stop the directory at start-up.
            messages.push_back({contact.line, Severity::Error,
                                quotedName(*entry) + ": the directory holds " + std::to_string(kSlotCount) +
                                    " entries, and a 17th would stop it; not written"});
            continue;
        }
        entries.push_back(std::move(*entry));
    }
    checkSameLastNames(entries, messages);
    return entries;
}

std::string dataFileText(const std::vector<Entry>& entries) {
    std::string text;
    for (const Entry& entry : entries) {
        text.append(entry.first).append(" ").append(entry.last).append(" ");
        text.append(std::to_string(entry.areaCode)).append(" ").append(entry.number).append("\n");
    }
    return text;
}
