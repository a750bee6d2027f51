// What convertToUtf8 leaves to the system's converter, one file for each
// kind of system (charset_posix.cpp, charset_windows.cpp).
#ifndef CONVERT_CHARSET_SYSTEM_H
#define CONVERT_CHARSET_SYSTEM_H

#include <string>
#include <string_view>

#include "charset.h"

// bytes in the set named charset as UTF-8, as convertToUtf8 promises, for
// a name it has checked and that is not UTF-8.
CharsetText systemConvertToUtf8(std::string_view bytes, const std::string& charset);

// A set's name in lower case without - and _, so that Shift_JIS, SHIFT-JIS
// and shiftjis compare equal.
std::string charsetKey(std::string_view charset);

#endif  // CONVERT_CHARSET_SYSTEM_H
