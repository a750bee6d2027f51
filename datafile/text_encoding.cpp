#include "text_encoding.h"

Utf8Char decodeUtf8(std::string_view bytes) {
    constexpr char32_t kReplacement = 0xFFFD;
    if (bytes.empty()) return {0, false, kReplacement};
    const auto lead = static_cast<unsigned char>(bytes[0]);
    if (lead < 0x80) return {1, true, lead};
    int tail = 0;                           // continuation bytes to come
    unsigned char low = 0x80, high = 0xBF;  // the range of the first of them
    if (lead >= 0xC2 && lead <= 0xDF) {
        tail = 1;
    } else if (lead >= 0xE0 && lead <= 0xEF) {
        tail = 2;
        if (lead == 0xE0) low = 0xA0;   // no overlong forms
        if (lead == 0xED) high = 0x9F;  // no surrogates
    } else if (lead >= 0xF0 && lead <= 0xF4) {
        tail = 3;
        if (lead == 0xF0) low = 0x90;   // no overlong forms
        if (lead == 0xF4) high = 0x8F;  // nothing past U+10FFFF
    } else {
        return {1, false, kReplacement};  // a continuation byte, or a byte no sequence starts with
    }
    char32_t code = lead & (0x3F >> tail);
    std::size_t taken = 1;
    for (; tail > 0; --tail, ++taken) {
        if (taken == bytes.size()) return {0, false, kReplacement};
        const auto next = static_cast<unsigned char>(bytes[taken]);
        if (next < low || next > high) return {taken, false, kReplacement};
        code = code << 6 | (next & 0x3F);
        low = 0x80;
        high = 0xBF;
    }
    return {taken, true, code};
}

Utf8Char decodeUtf8OrWindows1252(std::string_view bytes) {
    Utf8Char c = decodeUtf8(bytes);
    if (c.valid) return c;
    return {1, false, windows1252Character(static_cast<unsigned char>(bytes[0]))};
}

std::size_t utf8SequenceLength(std::string_view bytes) {
    Utf8Char c = decodeUtf8(bytes);
    return c.valid ? c.length : 0;
}

void appendUtf8(std::string& text, char32_t c) {
    if (c < 0x80) {
        text += static_cast<char>(c);
    } else if (c < 0x800) {
        text += static_cast<char>(0xC0 | (c >> 6));
        text += static_cast<char>(0x80 | (c & 0x3F));
    } else if (c < 0x10000) {
        text += static_cast<char>(0xE0 | (c >> 12));
        text += static_cast<char>(0x80 | ((c >> 6) & 0x3F));
        text += static_cast<char>(0x80 | (c & 0x3F));
    } else {
        text += static_cast<char>(0xF0 | (c >> 18));
        text += static_cast<char>(0x80 | ((c >> 12) & 0x3F));
        text += static_cast<char>(0x80 | ((c >> 6) & 0x3F));
        text += static_cast<char>(0x80 | (c & 0x3F));
    }
}

namespace {

// Windows-1252 where it differs from Latin-1: bytes 0x80 to 0x9F.
constexpr char16_t kWindows1252[32] = {0x20AC, 0x0081, 0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021,
                                       0x02C6, 0x2030, 0x0160, 0x2039, 0x0152, 0x008D, 0x017D, 0x008F,
                                       0x0090, 0x2018, 0x2019, 0x201C, 0x201D, 0x2022, 0x2013, 0x2014,
                                       0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0x009D, 0x017E, 0x0178};

}  // namespace

char32_t windows1252Character(unsigned char byte) {
    return byte >= 0x80 && byte < 0xA0 ? kWindows1252[byte - 0x80] : byte;
}

bool isDefinedInWindows1252(unsigned char byte) {
    return !(byte >= 0x80 && byte < 0xA0) || windows1252Character(byte) != byte;
}

std::string toUtf8(std::string_view text, bool windows1252) {
    std::string out;
    for (char c : text) {
        auto byte = static_cast<unsigned char>(c);
        appendUtf8(out, windows1252 ? windows1252Character(byte) : byte);
    }
    return out;
}
