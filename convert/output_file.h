// Writing a whole file so that it is either written in full or untouched.
#ifndef CONVERT_OUTPUT_FILE_H
#define CONVERT_OUTPUT_FILE_H

#include <string>

// Writes content to a temporary file in target's folder, flushes, closes and
// checks it, then renames it over target (which keeps its permissions). On
// any failure the temporary file is removed, target is left as it was, and
// the reason is returned ("cannot write: No space left on device"); on
// success the empty text.
std::string writeFileAtomically(const std::string& target, const std::string& content);

#endif  // CONVERT_OUTPUT_FILE_H
