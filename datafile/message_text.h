// Pieces of the data file as messages about it show them.
#ifndef DATAFILE_MESSAGE_TEXT_H
#define DATAFILE_MESSAGE_TEXT_H

#include <string>
#include <string_view>

// The word separators of the data file: those of the string class's word
// reads, which the directory loads it with.
bool isFieldSpace(char c);

// A control byte (below 32, or 127) that is not a field separator.
bool isControlByte(char c);

// bytes in double quotes, each control byte (tab and line end included)
// written as \xNN, so that a message never sends one to the terminal.
std::string quoted(std::string_view bytes);

// The same for a std::string. As an exact match it wins over std::quoted,
// which argument-dependent lookup finds for a std::string wherever <iomanip>
// is included, as libc++'s <fstream> does.
inline std::string quoted(const std::string& bytes) { return quoted(std::string_view(bytes)); }

#endif  // DATAFILE_MESSAGE_TEXT_H
