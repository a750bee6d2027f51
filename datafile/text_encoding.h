// UTF-8 and the single-byte encodings a data file or address book is most
// often in when it is not UTF-8: Latin-1 (ISO-8859-1) and Windows-1252.
#ifndef DATAFILE_TEXT_ENCODING_H
#define DATAFILE_TEXT_ENCODING_H

#include <cstddef>
#include <string>
#include <string_view>

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

// Latin-1 or Windows-1252 text as UTF-8.
std::string toUtf8(std::string_view text, bool windows1252);

#endif  // DATAFILE_TEXT_ENCODING_H
