// Phone numbers in the forms people and address books write them, for the
// caller-ID lookup: "358-9111", "(312) 358-9111", "+1 312 358 9111",
// "tel:+1-312-358-9111", "+44 20 7946 0958".
#ifndef QUERY_NUMBER_FORMS_H
#define QUERY_NUMBER_FORMS_H

#include <optional>
#include <string>
#include <string_view>

enum class NumberScope {
    Local,          // seven digits: the number under any area code
    NorthAmerican,  // ten digits, or eleven after a 1 or +1: area code and number
    Digits,         // any other: the same digits, however the entry splits them
};

struct TypedNumber {
    NumberScope scope;
    std::string digits;  // NorthAmerican: the ten digits, without the 1
    int areaCode = 0;    // NorthAmerican: the first three digits
    std::string local;   // Local and NorthAmerican: the last seven digits
};

// The number text stands for, or nothing when it is not a phone number:
// digits with blanks, hyphens, dots, slashes or brackets between them, a +
// before them, and perhaps "tel:" in front.
std::optional<TypedNumber> typedNumber(std::string_view text);

// Every decimal digit of text, in order.
std::string digitsOf(std::string_view text);

// An entry's area code and number are the typed number. A number of the
// usual form matches a Local number by its seven digits and a NorthAmerican
// one by area code and digits; any entry matches when its digits (those of
// the area code, when not 0, then the number's) are the typed ones, a
// leading 1 of eleven aside.
bool numberMatches(const TypedNumber& typed, int areaCode, std::string_view number);

// The digits of an entry as numberMatches compares them.
std::string entryDigits(int areaCode, std::string_view number);

// The number as a message shows it: "(312) 358-9111", "358-9111", or the
// digits.
std::string shownNumber(const TypedNumber& typed);

#endif  // QUERY_NUMBER_FORMS_H
