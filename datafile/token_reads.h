// The program's reads of decimal ints and whitespace-delimited words, for
// what the user types and what the data file holds alike; each leaves the
// rest of the line unread.
#ifndef DATAFILE_TOKEN_READS_H
#define DATAFILE_TOKEN_READS_H

#include <iosfwd>

class apstring;

// Reads a decimal int; stores it in value only when the read succeeds, so
// letters, a lone sign or a number out of range leave value unchanged.
bool readNumber(std::istream& in, int& value);

// Reads one word into word; true when a word was read, even one that ran
// into the end of input and so left the stream failed.
bool readWord(std::istream& in, apstring& word);

#endif  // DATAFILE_TOKEN_READS_H
