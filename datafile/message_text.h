// Pieces of the data file as messages about it show them.
#ifndef DATAFILE_MESSAGE_TEXT_H
#define DATAFILE_MESSAGE_TEXT_H

#include <cstddef>
#include <string>
#include <string_view>

// How much of a name, field or argument a message shows: a name's worth,
// in bytes as shown (an escaped byte takes four). A message line stays
// short whatever the file or the command line holds.
constexpr std::size_t kShownName = 40;

// bytes as they may be shown on a terminal: printable UTF-8 as it is, and
// every other byte written as \xNN. Escaped are control bytes (tab and line
// end included, C1 controls U+0080 to U+009F too), bytes that are not UTF-8
// (a Latin-1 letter, a sequence cut short), and the characters that show as
// nothing or as a plain blank (a no-break space, a zero-width space, a
// byte-order mark, a variation selector), which a reader could not
// otherwise see: those of hidden_characters.h, made from Unicode's data.
// Every byte is shown: this is for listing the data itself, and for a
// message only where the value is already short. A message quotes with
// quoted() or escapedShort().
std::string escaped(std::string_view bytes);

// bytes escaped as escaped() does, cut between characters where more would
// show more than shown bytes, with "..." marking the cut.
std::string escapedShort(std::string_view bytes, std::size_t shown = kShownName);

// The same in double quotes ("..." after them), as a message quotes a name,
// a field or an argument of any length.
std::string quoted(std::string_view bytes, std::size_t shown = kShownName);

// As an exact match it wins over std::quoted, which argument-dependent
// lookup finds for a std::string wherever <iomanip> is included, as
// libc++'s <fstream> does.
inline std::string quoted(const std::string& bytes, std::size_t shown = kShownName) {
    return quoted(std::string_view(bytes), shown);
}

// A file's name as a message shows it, escaped: whole up to 160 bytes as
// shown; a longer one as its first 40 and its last
// 100, "..." between them: its end names the file, its start tells where
// the path begins.
std::string shownPath(std::string_view path);

#endif  // DATAFILE_MESSAGE_TEXT_H
