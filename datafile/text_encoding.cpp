#include "text_encoding.h"

Utf8Char decodeUtf8(std::string_view bytes) {
    if (bytes.empty()) return {0, false, kReplacementCharacter};
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
        return {1, false, kReplacementCharacter};  // a continuation byte, or a byte no sequence starts with
    }
    char32_t code = lead & (0x3F >> tail);
    std::size_t taken = 1;
    for (; tail > 0; --tail, ++taken) {
        if (taken == bytes.size()) return {0, false, kReplacementCharacter};
        const auto next = static_cast<unsigned char>(bytes[taken]);
        if (next < low || next > high) return {taken, false, kReplacementCharacter};
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

char32_t keptSurrogateAt(std::string_view text) {
    if (text.size() < 3 || text[0] != '\xED') return 0;
    auto second = static_cast<unsigned char>(text[1]), third = static_cast<unsigned char>(text[2]);
    if (second < 0xA0 || second > 0xBF || third < 0x80 || third > 0xBF) return 0;
    return 0xD000 | (second & 0x3F) << 6 | (third & 0x3F);
}

void Utf16Decoder::appendLone(char16_t unit, std::string& out) {
    damaged_ = true;
    if (lone_ == LoneSurrogate::Replaced) {
        appendUtf8(out, kReplacementCharacter);
        return;
    }
    out += static_cast<char>(0xE0 | unit >> 12);
    out += static_cast<char>(0x80 | (unit >> 6 & 0x3F));
    out += static_cast<char>(0x80 | (unit & 0x3F));
}

void Utf16Decoder::take(char16_t unit, std::string& out) {
    if (pendingHigh_ != 0) {
        const char16_t high = pendingHigh_;
        pendingHigh_ = 0;
        if (isLowSurrogate(unit)) {
            appendUtf8(out, joinedSurrogates(high, unit));
            return;
        }
        appendLone(high, out);
    }
    if (isHighSurrogate(unit)) {
        pendingHigh_ = unit;
    } else if (isLowSurrogate(unit)) {
        appendLone(unit, out);
    } else {
        appendUtf8(out, unit);
    }
}

void Utf16Decoder::decode(std::string_view bytes, std::string& out, bool followMarks) {
    std::size_t k = 0;
    while (k < bytes.size()) {
        int first = pendingByte_;
        if (first < 0) first = static_cast<unsigned char>(bytes[k++]);
        if (k == bytes.size()) {
            pendingByte_ = first;
            return;
        }
        pendingByte_ = -1;
        const int second = static_cast<unsigned char>(bytes[k++]);
        auto unit = static_cast<char16_t>(order_ == ByteOrder::LittleEndian ? second << 8 | first
                                                                            : first << 8 | second);
        if (followMarks && unit == 0xFFFE) {
            order_ = order_ == ByteOrder::LittleEndian ? ByteOrder::BigEndian : ByteOrder::LittleEndian;
            unit = 0xFEFF;
        }
        take(unit, out);
    }
}

void Utf16Decoder::finish(std::string& out) {
    if (pendingHigh_ != 0) appendLone(pendingHigh_, out);
    pendingHigh_ = 0;
    if (pendingByte_ >= 0) {
        damaged_ = true;
        appendUtf8(out, kReplacementCharacter);
    }
    pendingByte_ = -1;
}
