// UTF-8 and the single-byte encodings a data file or address book is most
// often in when it is not UTF-8: Latin-1 (ISO-8859-1) and Windows-1252.
#ifndef DATAFILE_TEXT_ENCODING_H
#define DATAFILE_TEXT_ENCODING_H

#include <cstddef>
#include <string>
#include <string_view>

// The length of the UTF-8 sequence that starts bytes, or 0 when bytes does
// not start with one (a stray or missing continuation byte, an overlong
// form, a surrogate, a code point past U+10FFFF, or the end too soon).
std::size_t utf8SequenceLength(std::string_view bytes);

// Appends code point c (below U+10000) to text in UTF-8.
void appendUtf8(std::string& text, char32_t c);

// The character byte stands for in Windows-1252. The five bytes that
// encoding leaves undefined (81, 8D, 8F, 90, 9D) are taken as in Latin-1:
// C1 control characters.
char32_t windows1252Character(unsigned char byte);
bool isDefinedInWindows1252(unsigned char byte);

// Latin-1 or Windows-1252 text as UTF-8.
std::string toUtf8(std::string_view text, bool windows1252);

#endif  // DATAFILE_TEXT_ENCODING_H
