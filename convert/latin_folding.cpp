#include "latin_folding.h"

#include "ascii.h"
#include "text_encoding.h"

namespace {

// U+00C0 to U+00FF without their accents, in lower case; "" for the two
// signs among them, × and ÷.
constexpr const char* kLatin1Base[64] = {
    "a", "a", "a", "a", "a", "a", "ae", "c", "e", "e", "e", "e", "i", "i", "i",  "i",   // À-Ï
    "d", "n", "o", "o", "o", "o", "o",  "",  "o", "u", "u", "u", "u", "y", "th", "ss",  // Ð-ß
    "a", "a", "a", "a", "a", "a", "ae", "c", "e", "e", "e", "e", "i", "i", "i",  "i",   // à-ï
    "d", "n", "o", "o", "o", "o", "o",  "",  "o", "u", "u", "u", "u", "y", "th", "y",   // ð-ÿ
};

// The lower case of c, for the letters of Latin-1 and of Windows-1252.
char32_t lower(char32_t c) {
    if (isAsciiUpper(c) || (c >= 0xC0 && c <= 0xDE && c != 0xD7)) return c + 0x20;
    if (c == 0x152 || c == 0x160 || c == 0x17D) return c + 1;  // Œ Š Ž
    if (c == 0x178) return 0xFF;                               // Ÿ
    return c;
}

template <typename Add>
void eachCharacter(std::string_view text, Add add) {
    while (!text.empty()) {
        Utf8Char c = decodeUtf8OrWindows1252(text);
        text.remove_prefix(c.length);
        add(lower(c.code));
    }
}

}  // namespace

std::string caseFolded(std::string_view text, std::size_t limit) {
    std::string result;
    eachCharacter(text, [&](char32_t c) {
        if (result.size() < limit) appendUtf8(result, c);
    });
    return result;
}

std::string nameKey(std::string_view text, std::size_t limit) {
    std::string result;
    eachCharacter(text, [&](char32_t c) {
        if (result.size() >= limit) return;
        if (isAsciiLower(c) || isAsciiDigit(c)) {
            result += static_cast<char>(c);
        } else if (c >= 0xDF && c <= 0xFF && c != 0xF7) {  // ß and the small letters
            result += kLatin1Base[c - 0xC0];
        } else if (c == 0x153 || c == 0x161 || c == 0x17E) {
            result += c == 0x153 ? "oe" : c == 0x161 ? "s" : "z";
        } else if (c >= 0x100 && !(c >= 0x2000 && c <= 0x206F) && c != 0xFEFF) {
            appendUtf8(result, c);  // a letter of another script, or a sign kept as it is
        }
    });
    return result;
}
