#include "phone_number.h"

#include <algorithm>
#include <climits>
#include <optional>

#include "ascii.h"

namespace {

bool isSeparator(char c) {
    return isFieldSpace(c) || c == '-' || c == '.' || c == '/' || c == '(' || c == ')';
}

bool startsWithNoCase(std::string_view text, std::string_view start) {
    if (text.size() < start.size()) return false;
    for (std::size_t k = 0; k < start.size(); ++k)
        if (asciiLower(text[k]) != start[k]) return false;
    return true;
}

std::string digitsOf(std::string_view text) {
    std::string digits;
    for (char c : text)
        if (isAsciiDigit(c)) digits += c;
    return digits;
}

// The runs of digits of text joined by hyphens: "+49(721)123456" as
// "49-721-123456".
std::string digitGroups(std::string_view text) {
    std::string groups;
    bool inDigits = false;
    for (char c : text) {
        if (isAsciiDigit(c)) {
            if (!inDigits && !groups.empty()) groups += '-';
            groups += c;
        }
        inDigits = isAsciiDigit(c);
    }
    return groups;
}

// "3589111" as "358-9111".
std::string withHyphen(std::string_view seven) {
    return std::string(seven.substr(0, 3)) + "-" + std::string(seven.substr(3));
}

// Decimal digits with an optional minus, without a leading zero (which the
// data file's area code, a number, would drop), whose value fits in an int.
std::optional<int> areaCodeValue(std::string_view text) {
    std::size_t at = !text.empty() && text[0] == '-' ? 1 : 0;
    if (at == text.size() || text.size() - at > 10) return std::nullopt;
    if (text[at] == '0' && text.size() - at > 1) return std::nullopt;
    long long value = 0;
    for (std::size_t k = at; k < text.size(); ++k) {
        if (!isAsciiDigit(text[k])) return std::nullopt;
        value = value * 10 + (text[k] - '0');
    }
    if (at == 1) value = -value;
    if (value < INT_MIN || value > INT_MAX || (at == 1 && value == 0)) return std::nullopt;
    return static_cast<int>(value);
}

// The country codes of two digits; 1 and 7 have one, all others three.
// Country codes are a prefix code, so the digits after a + tell which.
int countryCodeLength(std::string_view digits) {
    if (digits[0] == '1' || digits[0] == '7') return 1;
    static const int kTwoDigits[] = {20, 27, 30, 31, 32, 33, 34, 36, 39, 40, 41, 43, 44, 45, 46,
                                     47, 48, 49, 51, 52, 53, 54, 55, 56, 57, 58, 60, 61, 62, 63,
                                     64, 65, 66, 81, 82, 84, 86, 90, 91, 92, 93, 94, 95, 98};
    int two = (digits[0] - '0') * 10 + (digits[1] - '0');
    return std::find(std::begin(kTwoDigits), std::end(kTwoDigits), two) != std::end(kTwoDigits) ? 2 : 3;
}

bool startsPlan(char digit) { return digit >= '2' && digit <= '9'; }

// Ten digits of the North American plan: area code and exchange each start
// with 2 to 9.
bool isPlanNumber(std::string_view ten) {
    return ten.size() == 10 && startsPlan(ten[0]) && startsPlan(ten[3]);
}

PhoneNumber northAmerican(std::string_view ten, Certainty certainty) {
    PhoneNumber number;
    number.kind = NumberKind::NorthAmerican;
    number.certainty = certainty;
    number.countryCode = 1;
    number.areaCode = (ten[0] - '0') * 100 + (ten[1] - '0') * 10 + (ten[2] - '0');
    number.national = std::string(ten);
    number.subscriber = std::string(ten.substr(3));
    return number;
}

PhoneNumber local(std::string_view seven) {
    PhoneNumber number;
    number.kind = NumberKind::Local;
    number.national = std::string(seven);
    number.subscriber = std::string(seven);
    return number;
}

PhoneNumber notANumber(std::string_view text) {
    PhoneNumber number;
    number.grouped = withoutBlanks(text);
    return number;
}

PhoneNumber digitsOnly(std::string digits, std::string grouped, int areaCode = 0) {
    PhoneNumber number;
    number.kind = NumberKind::Digits;
    number.areaCode = areaCode;
    number.national = std::move(digits);
    number.grouped = std::move(grouped);
    return number;
}

// Digits among separators, with perhaps a + first.
bool isDialable(std::string_view text) {
    if (!text.empty() && text[0] == '+') text.remove_prefix(1);
    return !text.empty() &&
           std::all_of(text.begin(), text.end(), [](char c) { return isAsciiDigit(c) || isSeparator(c); });
}

// Where an extension starts in text ("x102", "ext. 102", "#102",
// ";ext=102"), and its digits; nothing when text has none.
struct Extension {
    std::size_t start = std::string_view::npos;
    std::string digits;
};

Extension extensionOf(std::string_view text) {
    std::size_t at = text.find_first_not_of("+0123456789 \t\n\v\f\r-./()");
    if (at == std::string_view::npos || at == 0 || digitsOf(text.substr(0, at)).empty()) return {};
    std::string_view rest = text.substr(at);
    static const std::string_view kMarks[] = {";ext=", "extension", "ext.", "ext", "x", "#"};
    for (std::string_view mark : kMarks) {
        if (!startsWithNoCase(rest, mark)) continue;
        std::string_view digits = trimmed(rest.substr(mark.size()));
        if (!digits.empty() && (digits[0] == '.' || digits[0] == ':')) digits = trimmed(digits.substr(1));
        if (digits.empty() || !std::all_of(digits.begin(), digits.end(), isAsciiDigit)) return {};
        return {at, std::string(digits)};
    }
    return {};
}

// A number after + and its country code.
PhoneNumber international(std::string_view text) {
    // "+44 (0)20": the trunk 0 in brackets is dialled only inside the country.
    std::string written(text);
    std::size_t trunk = written.find("(0)");
    if (trunk != std::string::npos) written.erase(trunk, 3);
    std::string digits = digitsOf(written);
    // Too short to be a number: kept as written, its + too.
    if (digits.size() < 2) return notANumber("+" + std::string(text));
    int ccLength = countryCodeLength(digits);
    // "+35": no more than a country code, and perhaps not all of one.
    if (digits.size() <= static_cast<std::size_t>(ccLength)) return notANumber("+" + std::string(text));
    std::string national = digits.substr(static_cast<std::size_t>(ccLength));
    if (digits[0] == '1') {
        if (isPlanNumber(national)) return northAmerican(national, Certainty::Written);
        return digitsOnly(digits, "+" + digitGroups(written));
    }
    if (national.size() < 4 || digits.size() > 15) return digitsOnly(digits, "+" + digitGroups(written));
    PhoneNumber number;
    number.kind = NumberKind::International;
    number.certainty = Certainty::Written;
    number.countryCode = std::stoi(digits.substr(0, static_cast<std::size_t>(ccLength)));
    number.national = national;
    number.grouped = "+" + digitGroups(written);
    return number;
}

// "(AREA) NUMBER", the form this program's export wrote: an area code
// written apart, and one word after it.
std::optional<PhoneNumber> writtenArea(std::string_view text) {
    if (text.empty() || text[0] != '(') return std::nullopt;
    std::size_t close = text.find(')');
    if (close == std::string_view::npos || close + 1 == text.size() || !isFieldSpace(text[close + 1]))
        return std::nullopt;
    std::optional<int> code = areaCodeValue(text.substr(1, close - 1));
    std::string_view rest = trimmed(text.substr(close + 1));
    if (!code || rest.empty() || std::any_of(rest.begin(), rest.end(), isFieldSpace)) return std::nullopt;
    // Area code 0, as the export once wrote it, is none.
    if (*code == 0) return readPhoneNumber(rest);
    return readEntryNumber(*code, rest);
}

// The number without its extension.
PhoneNumber withoutExtension(std::string_view text) {
    if (std::optional<PhoneNumber> written = writtenArea(text)) return *written;
    if (!isDialable(text)) return notANumber(text);
    std::string_view start = trimmed(text);
    if (start[0] == '+') return international(start.substr(1));
    std::string digits = digitsOf(text);
    if (digits.size() < 3) return notANumber(text);
    if (isPlanNumber(digits)) return northAmerican(digits, Certainty::Plan);
    if (digits.size() == 11 && digits[0] == '1' && isPlanNumber(std::string_view(digits).substr(1))) {
        // "1-312-358-9111", "1 (312) 358-9111": the 1 dialled before a North
        // American number, grouped as there. Other groupings, or none, may be
        // another country's: "13866192019" is a mobile number in China.
        std::string groups = digitGroups(text);
        bool grouped = groups.size() == 14 && groups[1] == '-' && groups[5] == '-' && groups[9] == '-';
        return northAmerican(std::string_view(digits).substr(1),
                             grouped ? Certainty::Plan : Certainty::Guessed);
    }
    if (digits.size() == 7 && startsPlan(digits[0])) return local(digits);
    return digitsOnly(digits, withoutBlanks(text));
}

// A tel: URI's number, with its parameters taken in: ";ext=" and a
// ";phone-context=" that is a global number's start ("+1-312").
PhoneNumber readTelUri(std::string_view uri) {
    std::size_t semicolon = uri.find(';');
    std::string_view number = uri.substr(0, semicolon);
    std::string extension, context;
    while (semicolon != std::string_view::npos) {
        uri.remove_prefix(semicolon + 1);
        semicolon = uri.find(';');
        std::string_view parameter = uri.substr(0, semicolon);
        if (startsWithNoCase(parameter, "ext=")) extension = std::string(parameter.substr(4));
        if (startsWithNoCase(parameter, "phone-context=")) context = std::string(parameter.substr(14));
    }
    PhoneNumber read;
    if (!context.empty() && context[0] == '+' && !number.empty() && number[0] != '+') {
        read = withoutExtension(context + "-" + std::string(number));
    } else {
        read = withoutExtension(number);
    }
    if (!extension.empty()) {
        if (read.kind == NumberKind::NotANumber ||
            !std::all_of(extension.begin(), extension.end(), isAsciiDigit))
            return notANumber(std::string("tel:") + std::string(number) + ";ext=" + extension);
        read.extension = extension;
    }
    return read;
}

std::string withExtension(const std::string& token, const PhoneNumber& number) {
    return number.extension.empty() ? token : token + "x" + number.extension;
}

bool hasCountry(const PhoneNumber& number) {
    return number.kind == NumberKind::NorthAmerican || number.kind == NumberKind::International;
}

// Every digit a caller could dial for the number: for a number of a known
// country, the country code's too.
std::string allDigits(const PhoneNumber& number) {
    if (hasCountry(number)) return std::to_string(number.countryCode) + number.national;
    return number.national;
}

std::string_view withoutTrunk(std::string_view digits) {
    while (!digits.empty() && digits[0] == '0') digits.remove_prefix(1);
    return digits;
}

// Whether the numbers, extensions aside, are one, and how.
CallerIdMatch sameNumber(const PhoneNumber& caller, const PhoneNumber& entry) {
    using K = NumberKind;
    if (hasCountry(caller) && hasCountry(entry)) {
        if (caller.national == entry.national && caller.countryCode == entry.countryCode)
            return {MatchStrength::SameNumber, Mismatch::None};
        // +86 138 6619 2019 and +1 386 619 2019: the same digits dialled
        // into two countries.
        if (caller.national == entry.national || caller.national == allDigits(entry) ||
            allDigits(caller) == entry.national)
            return {MatchStrength::None, Mismatch::OtherCountry};
        if (caller.kind == K::NorthAmerican && entry.kind == K::NorthAmerican &&
            caller.subscriber == entry.subscriber)
            return {MatchStrength::None, Mismatch::OtherAreaCode};
        return {MatchStrength::None, Mismatch::OtherNumber};
    }
    bool localAndFull = (caller.kind == K::Local && entry.kind == K::NorthAmerican) ||
                        (caller.kind == K::NorthAmerican && entry.kind == K::Local);
    if (localAndFull || (caller.kind == K::Local && entry.kind == K::Local)) {
        if (caller.subscriber != entry.subscriber) return {MatchStrength::None, Mismatch::OtherNumber};
        return localAndFull ? CallerIdMatch{MatchStrength::Weaker, Mismatch::MissingAreaCode}
                            : CallerIdMatch{MatchStrength::SameNumber, Mismatch::None};
    }
    // Digits of no known country: the same digits, a country code's aside;
    // or a national number's trunk 0 aside ("020 7946 0958" and
    // "+44 20 7946 0958", "070 358 9111" and area code 70), a weaker match.
    const std::string callerDigits = allDigits(caller), entryDigits = allDigits(entry);
    if (callerDigits == entryDigits || caller.national == entry.national ||
        (entry.kind == K::Digits && entryDigits == callerDigits) ||
        (hasCountry(caller) && entry.national == callerDigits) ||
        (hasCountry(entry) && caller.national == entryDigits))
        return {MatchStrength::SameNumber, Mismatch::None};
    if (withoutTrunk(caller.national) == withoutTrunk(entry.national) ||
        withoutTrunk(caller.national) == withoutTrunk(entryDigits) ||
        withoutTrunk(callerDigits) == withoutTrunk(entry.national))
        return {MatchStrength::Weaker, Mismatch::TrunkZero};
    return {MatchStrength::None, Mismatch::OtherNumber};
}

// A number of eleven digits starting with 1 taken as North American, as
// the digits it was written with.
PhoneNumber asWritten(const PhoneNumber& guessed) { return digitsOnly("1" + guessed.national, "", 0); }

}  // namespace

PhoneNumber readPhoneNumber(std::string_view text) {
    text = trimmed(text);
    if (startsWithNoCase(text, "tel:")) return readTelUri(text.substr(4));
    Extension extension = extensionOf(text);
    if (extension.start == std::string_view::npos) return withoutExtension(text);
    PhoneNumber number = withoutExtension(trimmed(text.substr(0, extension.start)));
    if (number.kind == NumberKind::NotANumber) return notANumber(text);
    number.extension = extension.digits;
    if (!number.written.empty()) number.written += "x" + number.extension;  // "(312) 5550187 x7"
    return number;
}

PhoneNumber readEntryNumber(int areaCode, std::string_view token) {
    PhoneNumber number = readPhoneNumber(token);
    std::string_view main = token.substr(0, extensionOf(token).start);
    std::string extension = number.extension;
    if (number.kind == NumberKind::Local && areaCode >= 200 && areaCode <= 999) {
        number = northAmerican(std::to_string(areaCode) + number.subscriber, Certainty::Plan);
    } else if (areaCode != 0 && number.kind != NumberKind::NotANumber) {
        number = digitsOnly(digitsOf(std::to_string(areaCode)) + digitsOf(main), "", areaCode);
    }
    number.extension = extension;
    if (areaCode != 0) number.areaCode = areaCode;
    number.fileAreaCode = areaCode;
    number.written = std::string(token);
    return number;
}

PhoneNumber readEntryNumber(std::string_view areaCodeWord, std::string_view token) {
    bool code = !areaCodeWord.empty() && areaCodeWord.size() <= 9 &&
                std::all_of(areaCodeWord.begin(), areaCodeWord.end(), isAsciiDigit);
    return readEntryNumber(code ? std::stoi(std::string(areaCodeWord)) : 0, token);
}

// The number token without extension as the data file writes it.
std::string usualToken(const PhoneNumber& number) {
    if (number.kind == NumberKind::NorthAmerican || number.kind == NumberKind::Local)
        return withHyphen(number.subscriber);
    return number.grouped;
}

bool isUsualToken(std::string_view token) {
    std::size_t x = token.find('x');
    std::string_view seven = token.substr(0, x);
    if (seven.size() != 8 || seven[3] != '-') return false;
    for (std::size_t k = 0; k < seven.size(); ++k)
        if (k != 3 && !isAsciiDigit(seven[k])) return false;
    std::string_view extension = x == std::string_view::npos ? "0" : token.substr(x + 1);
    return !extension.empty() && std::all_of(extension.begin(), extension.end(), isAsciiDigit);
}

EntryNumber entryNumber(const PhoneNumber& number) {
    bool none = number.kind == NumberKind::Local || number.kind == NumberKind::International;
    int areaCode = none ? 0 : number.areaCode;
    if (!number.written.empty()) return {number.fileAreaCode, number.written};
    if (number.kind == NumberKind::NotANumber) return {areaCode, number.grouped};
    return {areaCode, withExtension(usualToken(number), number)};
}

std::string telUri(const PhoneNumber& number) {
    std::string uri;
    if (number.kind == NumberKind::NorthAmerican) {
        uri = "tel:+1-" + number.national.substr(0, 3) + "-" + withHyphen(number.subscriber);
    } else if (number.kind == NumberKind::International) {
        uri = "tel:" + number.grouped;
    } else {
        return "";
    }
    return number.extension.empty() ? uri : uri + ";ext=" + number.extension;
}

VCardTel vcardTel(int areaCode, std::string_view token) {
    PhoneNumber number = readEntryNumber(areaCode, token);
    std::string uri = telUri(number);
    // A North American number written otherwise ("5550187") goes as text,
    // which gives the token back as the file holds it; another country's
    // always as a URI, where no reader takes a trunk "(0)" for a digit.
    bool usual = number.kind != NumberKind::NorthAmerican ||
                 number.written == withExtension(usualToken(number), number);
    if (!uri.empty() && usual) return {true, uri};
    return {false, displayNumber(number)};
}

std::string displayNumber(const PhoneNumber& number) {
    std::string shown;
    if (!number.written.empty() || number.kind == NumberKind::NotANumber) {
        shown = number.written.empty() ? number.grouped : number.written;
        int areaCode = number.written.empty() ? number.areaCode : number.fileAreaCode;
        return areaCode != 0 ? "(" + std::to_string(areaCode) + ") " + shown : shown;
    }
    switch (number.kind) {
        case NumberKind::NorthAmerican:
            shown = "(" + number.national.substr(0, 3) + ") " + withHyphen(number.subscriber);
            break;
        case NumberKind::Local: shown = withHyphen(number.subscriber); break;
        case NumberKind::International: shown = number.grouped; break;
        case NumberKind::Digits:
        case NumberKind::NotANumber:
            shown = number.areaCode != 0 ? "(" + std::to_string(number.areaCode) + ") " + number.grouped
                                         : number.grouped;
            break;
    }
    return number.extension.empty() ? shown : shown + " x" + number.extension;
}

CsvCells csvCells(int areaCode, std::string_view token) {
    return {areaCode != 0 ? std::to_string(areaCode) : "", std::string(token)};
}

CallerIdMatch compareForCallerId(const PhoneNumber& caller, const PhoneNumber& entry) {
    if (caller.kind == NumberKind::NotANumber || entry.kind == NumberKind::NotANumber) return {};
    CallerIdMatch match = sameNumber(caller, entry);
    // Eleven digits starting with 1 may be another country's after all.
    if (match.strength == MatchStrength::None && caller.certainty == Certainty::Guessed &&
        sameNumber(asWritten(caller), entry).strength != MatchStrength::None)
        match = sameNumber(asWritten(caller), entry);
    if (match.strength == MatchStrength::None) return match;
    if (!caller.extension.empty() && caller.extension != entry.extension)
        return {MatchStrength::None, Mismatch::OtherExtension};
    bool exact = match.strength == MatchStrength::SameNumber && caller.kind == entry.kind &&
                 caller.certainty == entry.certainty && caller.areaCode == entry.areaCode &&
                 caller.national == entry.national && caller.extension == entry.extension;
    if (exact) match.strength = MatchStrength::Exact;
    return match;
}

const char* strengthName(MatchStrength strength) {
    switch (strength) {
        case MatchStrength::Exact: return "exact";
        case MatchStrength::SameNumber: return "same number";
        case MatchStrength::Weaker: return "weaker";
        case MatchStrength::None: break;
    }
    return "none";
}

const char* mismatchText(Mismatch reason) {
    switch (reason) {
        case Mismatch::None: return "";
        case Mismatch::OtherNumber: return "other digits";
        case Mismatch::OtherAreaCode: return "another area code";
        case Mismatch::MissingAreaCode: return "one of the two has no area code";
        case Mismatch::OtherCountry: return "another country";
        case Mismatch::TrunkZero: return "alike but for a trunk 0 or a country code";
        case Mismatch::OtherExtension: break;
    }
    return "another extension";
}
