// The entries telelist-query finds, one line each, in its three formats.
#ifndef QUERY_OUTPUT_H
#define QUERY_OUTPUT_H

#include <string>
#include <string_view>

#include "directory_entries.h"
#include "phone_number.h"

enum class OutputFormat {
    Lines,  // "Lopez, Maria; (312) 358-9111", as teledir shows a match, escaped
    Tsv,    // first name, last name, area code, number, separated by tabs
    Json,   // one object a line
};

// The line of entry, with its line end. With lastNameSearch (--last) it
// tells whether teledir's last-name search shows the entry; with match (for
// --number), how its number answers the one looked for.
std::string entryLine(const Entry& entry, OutputFormat format, bool lastNameSearch,
                      const CallerIdMatch* match = nullptr);

// A field for TSV, one whatever its bytes and safe on a terminal: a
// backslash, tab or line end in it as \\, \t, \n or \r, and every other
// byte the default output escapes (controls, bytes that are not UTF-8,
// characters that show as nothing or as a blank) as \xNN.
std::string tsvField(std::string_view text);

// text as a JSON string. Valid UTF-8 is kept, but for the characters the
// default output escapes (controls, C1 too, U+2028 and U+2029, the
// bidirectional controls, characters that show as nothing or as a blank),
// which are \uXXXX; each byte that is not part of a UTF-8 character
// becomes \u00XX, the Latin-1 character of that value.
std::string jsonString(std::string_view text);

#endif  // QUERY_OUTPUT_H
