// The ASCII letters and digits, as names, numbers and keywords of files
// are compared: with no locale, so that a byte above 127 is never one. And
// the blanks that separate the data file's fields, as names and numbers
// are made to fit one.
#ifndef AP_ASCII_H
#define AP_ASCII_H

#include <string>
#include <string_view>

#include "apstring.h"

constexpr bool isAsciiDigit(char32_t c) { return c >= '0' && c <= '9'; }
constexpr bool isAsciiUpper(char32_t c) { return c >= 'A' && c <= 'Z'; }
constexpr bool isAsciiLower(char32_t c) { return c >= 'a' && c <= 'z'; }
constexpr bool isAsciiLetter(char32_t c) { return isAsciiUpper(c) || isAsciiLower(c); }
constexpr bool isAsciiLetterOrDigit(char32_t c) { return isAsciiLetter(c) || isAsciiDigit(c); }

// c with an ASCII capital made small; any other byte as it is.
constexpr char asciiLower(char c) {
    return isAsciiUpper(static_cast<unsigned char>(c)) ? static_cast<char>(c - 'A' + 'a') : c;
}

// The blanks that separate the data file's fields: those of the string
// class's word reads, which the directory loads the file with.
// c with an ASCII small letter made a capital; any other byte as it is.
constexpr char asciiUpper(char c) {
    return isAsciiLower(static_cast<unsigned char>(c)) ? static_cast<char>(c - 'a' + 'A') : c;
}

inline bool isFieldSpace(char c) { return apstring::isWordSpace(static_cast<unsigned char>(c)); }

// text without field blanks at either end.
inline std::string_view trimmed(std::string_view text) {
    while (!text.empty() && isFieldSpace(text.front())) text.remove_prefix(1);
    while (!text.empty() && isFieldSpace(text.back())) text.remove_suffix(1);
    return text;
}

// text trimmed, and each run of field blanks inside it one hyphen: a
// name or number made one field.
inline std::string withoutBlanks(std::string_view text) {
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

inline std::string asciiLowered(std::string_view text) {
    std::string lower(text);
    for (char& c : lower) c = asciiLower(c);
    return lower;
}

#endif  // AP_ASCII_H
