// Pieces of the data file as messages about it show them.
#ifndef DATAFILE_MESSAGE_TEXT_H
#define DATAFILE_MESSAGE_TEXT_H

#include <string>
#include <string_view>

// The word separators of the data file: those of the string class's word
// reads, which the directory loads it with.
bool isFieldSpace(char c);

// bytes as a message may show them on a terminal: printable UTF-8 as it
// is, and every other byte written as \xNN. Escaped are control bytes (tab
// and line end included, C1 controls U+0080 to U+009F too), bytes that are
// not UTF-8 (a Latin-1 letter, a sequence cut short), and the characters
// that show as nothing or as a plain blank (a no-break space, a zero-width
// space, a byte-order mark, a variation selector), which a reader could not
// otherwise see: those of hidden_characters.h, made from Unicode's data.
std::string escaped(std::string_view bytes);

// The same in double quotes.
std::string quoted(std::string_view bytes);

// escaped() and quoted() of a value that may be any length: a name's worth
// of it, cut between characters after the first 40 bytes, "..." marking
// the cut.
std::string escapedShort(std::string_view bytes);
std::string quotedShort(std::string_view bytes);

// The same for a std::string. As an exact match it wins over std::quoted,
// which argument-dependent lookup finds for a std::string wherever <iomanip>
// is included, as libc++'s <fstream> does.
inline std::string quoted(const std::string& bytes) { return quoted(std::string_view(bytes)); }

#endif  // DATAFILE_MESSAGE_TEXT_H
