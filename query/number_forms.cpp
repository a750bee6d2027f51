#include "number_forms.h"

#include "ascii.h"

namespace {

bool isSeparator(char c) { return c == ' ' || c == '-' || c == '.' || c == '/' || c == '(' || c == ')'; }

// "3589111" as "358-9111".
std::string withHyphen(const std::string& seven) { return seven.substr(0, 3) + "-" + seven.substr(3); }

// Ten digits, or eleven starting with the country code 1, as the ten.
std::optional<std::string> northAmerican(const std::string& digits) {
    if (digits.size() == 10) return digits;
    if (digits.size() == 11 && digits[0] == '1') return digits.substr(1);
    return std::nullopt;
}

}  // namespace

std::string digitsOf(std::string_view text) {
    std::string digits;
    for (char c : text)
        if (isAsciiDigit(c)) digits += c;
    return digits;
}

std::optional<TypedNumber> typedNumber(std::string_view text) {
    constexpr std::string_view kScheme = "tel:";
    if (text.size() >= kScheme.size()) {
        if (asciiLowered(text.substr(0, kScheme.size())) == kScheme) text.remove_prefix(kScheme.size());
    }
    std::size_t start = text.find_first_not_of(' ');
    bool plus = start != std::string_view::npos && text[start] == '+';
    if (plus) text.remove_prefix(start + 1);
    for (char c : text)
        if (!isAsciiDigit(c) && !isSeparator(c)) return std::nullopt;
    std::string digits = digitsOf(text);
    if (digits.empty()) return std::nullopt;
    std::optional<std::string> ten = northAmerican(digits);
    if (ten && (!plus || digits.size() == 11))
        return TypedNumber{NumberScope::NorthAmerican, *ten, std::stoi(ten->substr(0, 3)), ten->substr(3)};
    if (digits.size() == 7 && !plus) return TypedNumber{NumberScope::Local, digits, 0, digits};
    return TypedNumber{NumberScope::Digits, digits, 0, ""};
}

std::string entryDigits(int areaCode, std::string_view number) {
    return (areaCode != 0 ? digitsOf(std::to_string(areaCode)) : "") + digitsOf(number);
}

bool numberMatches(const TypedNumber& typed, int areaCode, std::string_view number) {
    std::string own = digitsOf(number);
    std::string all = entryDigits(areaCode, number);
    switch (typed.scope) {
        case NumberScope::Local: return own == typed.local;
        case NumberScope::NorthAmerican:
            return (areaCode == typed.areaCode && own == typed.local) || northAmerican(all) == typed.digits;
        case NumberScope::Digits: break;
    }
    return all == typed.digits || own == typed.digits;
}

std::string shownNumber(const TypedNumber& typed) {
    switch (typed.scope) {
        case NumberScope::Local: return withHyphen(typed.local);
        case NumberScope::NorthAmerican:
            return "(" + typed.digits.substr(0, 3) + ") " + withHyphen(typed.local);
        case NumberScope::Digits: break;
    }
    return typed.digits;
}
