#ifndef DIRECTORY_LAST_NAME_SEARCH_H
#define DIRECTORY_LAST_NAME_SEARCH_H

class apstring;

constexpr int kNotFound = -1;

// The first slot on the binary search's probe path (7, then 3 or 11, ...)
// whose last name equals target, or kNotFound. Relies on the start-up sort.
int findLastName(const apstring& target);

#endif  // DIRECTORY_LAST_NAME_SEARCH_H
