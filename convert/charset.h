// Text in a character set that a vCard names (CHARSET=Shift_JIS and the
// like) as UTF-8, by the system's own converter: iconv on POSIX systems,
// the code-page conversion on Windows.
#ifndef CONVERT_CHARSET_H
#define CONVERT_CHARSET_H

#include <string>
#include <string_view>

enum class CharsetOutcome {
    Converted,  // every byte was text in the set
    Replaced,   // some were not, and each stands as U+FFFD
    Unknown,    // the system knows no set by that name
};

struct CharsetText {
    CharsetOutcome outcome;
    std::string text;  // valid UTF-8; empty when Unknown
};

// bytes, in the set named charset (as a vCard names it, in any case), as
// UTF-8. Each byte that does not start a character of the set becomes
// U+FFFD, and so does a character cut short by the end of bytes. UTF-8
// itself is checked here, the same on every system. A name longer than 64
// bytes or with a byte other than a letter, digit or one of - _ . : + ( )
// is Unknown without asking the system.
CharsetText convertToUtf8(std::string_view bytes, std::string_view charset);

#endif  // CONVERT_CHARSET_H
