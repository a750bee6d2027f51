// UTF-8, UTF-16 and the single-byte encodings a data file or address book
// is most often in when it is not UTF-8: Latin-1 (ISO-8859-1) and
// Windows-1252.
#ifndef DATAFILE_TEXT_ENCODING_H
#define DATAFILE_TEXT_ENCODING_H

#include <cstddef>
#include <string>
#include <string_view>

#include "utf16_detector.h"  // ByteOrder

// One character as decodeUtf8 finds it at the start of a text.
struct Utf8Char {
    // The bytes it takes: a whole sequence, or what is not UTF-8 (a stray
    // byte, or a sequence's start up to the byte that breaks it, which is
    // not taken). 0 when the text ends inside a sequence that more bytes may
    // complete, and for an empty text.
    std::size_t length;
    bool valid;     // a whole UTF-8 sequence
    char32_t code;  // the character it encodes, or U+FFFD when not valid
};

// Decodes the character that starts bytes. Not UTF-8 are a stray
// continuation byte, a byte no sequence starts with, an overlong form, a
// surrogate and a code point past U+10FFFF.
Utf8Char decodeUtf8(std::string_view bytes);

// The character that starts bytes, as text that may not be all UTF-8 reads:
// a whole UTF-8 sequence as itself, any other byte as the Windows-1252
// character it stands for (length 1, not valid). bytes must not be empty.
Utf8Char decodeUtf8OrWindows1252(std::string_view bytes);

// The length of the UTF-8 sequence that starts bytes, or 0 when bytes does
// not start with a whole one.
std::size_t utf8SequenceLength(std::string_view bytes);

// Appends code point c to text in UTF-8.
void appendUtf8(std::string& text, char32_t c);

// The character byte stands for in Windows-1252. The five bytes that
// encoding leaves undefined (81, 8D, 8F, 90, 9D) are taken as in Latin-1:
// C1 control characters.
char32_t windows1252Character(unsigned char byte);
bool isDefinedInWindows1252(unsigned char byte);

constexpr char32_t kReplacementCharacter = 0xFFFD;

constexpr bool isHighSurrogate(char32_t unit) { return unit >= 0xD800 && unit <= 0xDBFF; }
constexpr bool isLowSurrogate(char32_t unit) { return unit >= 0xDC00 && unit <= 0xDFFF; }
constexpr char32_t joinedSurrogates(char32_t high, char32_t low) {
    return 0x10000 + ((high - 0xD800) << 10) + (low - 0xDC00);
}

// Code point c in UTF-16: one unit, or for a character past U+FFFF a
// surrogate pair.
struct Utf16Units {
    char16_t unit[2];
    std::size_t length;  // 1 or 2
};
constexpr Utf16Units utf16Units(char32_t c) {
    if (c < 0x10000) return {{static_cast<char16_t>(c), 0}, 1};
    return {{static_cast<char16_t>(0xD800 + ((c - 0x10000) >> 10)),
             static_cast<char16_t>(0xDC00 + ((c - 0x10000) & 0x3FF))},
            2};
}

// What becomes of a UTF-16 surrogate without its other half.
enum class LoneSurrogate {
    Replaced,  // U+FFFD
    Kept,      // the three bytes UTF-8 would write it in (ED A0 80 to ED BF BF),
               // which are no UTF-8, for a reader to tell of
};

// The surrogate that LoneSurrogate::Kept wrote at the start of text, or 0.
char32_t keptSurrogateAt(std::string_view text);

// UTF-16 to UTF-8, as it comes: in bytes of either order or in 16-bit
// units, a piece at a time. A surrogate pair or a unit split between two
// pieces is joined by the next.
class Utf16Decoder {
public:
    explicit Utf16Decoder(LoneSurrogate lone, ByteOrder order = ByteOrder::LittleEndian)
        : lone_(lone), order_(order) {}

    // Appends the text of bytes, in the byte order, to out. With
    // followMarks, a byte-order mark of the other order (unit FFFE, as where
    // one file was joined on to another) is taken as U+FEFF and switches to
    // that order.
    void decode(std::string_view bytes, std::string& out, bool followMarks = false);
    // Appends the character of one unit to out.
    void take(char16_t unit, std::string& out);
    // At the end of the text: a high surrogate still waiting for its other
    // half and half a unit are appended as lone (half a unit as U+FFFD).
    void finish(std::string& out);

    ByteOrder order() const { return order_; }
    // Whether a character was replaced by U+FFFD, or a lone surrogate kept.
    bool damaged() const { return damaged_; }

private:
    void appendLone(char16_t unit, std::string& out);

    LoneSurrogate lone_;
    ByteOrder order_;
    int pendingByte_ = -1;  // a unit's first byte, from the piece before
    char16_t pendingHigh_ = 0;
    bool damaged_ = false;
};

#endif  // DATAFILE_TEXT_ENCODING_H
