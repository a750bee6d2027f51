// apstring: a text value that owns a NUL-terminated buffer of its own.
//
// The class keeps the growth policy the directory program was written
// against: a default string has a 1-byte buffer, a copy fits its text
// exactly, assignment keeps the buffer whenever the new text fits, and
// a one-character append that does not fit doubles the buffer, so a word
// read character by character is reallocated only at lengths 1, 4, 10,
// 22, ... A NUL byte inside the text is held in full: the stored length,
// not the first NUL, decides copying, comparing, printing and searching.
#ifndef AP_APSTRING_H
#define AP_APSTRING_H

#include <cstdint>
#include <iosfwd>

extern const int npos;  // what both find()s return when nothing is found

class apstring {
public:
    apstring();                     // the empty text, capacity 1
    apstring(const char* s);        // copy of s; s must not be null
    apstring(const apstring& str);  // deep copy, exact-fit buffer
    ~apstring();

    const apstring& operator=(const apstring& rhs);
    const apstring& operator=(const char* s);  // s must not be null
    const apstring& operator=(char ch);

    int length() const { return myLength; }
    int capacity() const { return myCapacity; }
    const char* c_str() const { return myCstring; }

    int find(const apstring& str) const;  // first index of str, or npos
    int find(char ch) const;              // first index of ch, or npos
    apstring substr(int pos, int len) const;

    char operator[](int k) const;  // ends the program on a bad index
    char& operator[](int k);       // ends the program on a bad index

    const apstring& operator+=(const apstring& str);
    const apstring& operator+=(char ch);

    friend std::istream& operator>>(std::istream& is, apstring& str);
    friend std::istream& getline(std::istream& is, apstring& str);

private:
    // Appends len bytes from outside this string's buffer.
    void append(const char* text, int len);
    void appendChar(char ch);
    void assign(const char* text, int len);
    void growTo(int newCapacity);
    void checkIndex(int k) const;

    // Invariants: myCstring owns myCapacity bytes; 0 <= myLength and
    // myLength + 1 <= myCapacity; myCstring[myLength] == '\0'. The buffer
    // never shrinks, and no two strings share one.
    int myLength;
    int myCapacity;
    char* myCstring;
};

namespace apstring_detail {
// The buffer size for a text of newLength bytes after an append: an exact
// fit, doubled for one-character appends. Throws std::length_error when
// the size would not fit in an int.
int grownCapacity(std::int64_t newLength, bool oneCharGrowth);
}  // namespace apstring_detail

std::ostream& operator<<(std::ostream& os, const apstring& str);
std::istream& operator>>(std::istream& is, apstring& str);
std::istream& getline(std::istream& is, apstring& str);

bool operator==(const apstring& lhs, const apstring& rhs);
bool operator!=(const apstring& lhs, const apstring& rhs);
bool operator<(const apstring& lhs, const apstring& rhs);
bool operator<=(const apstring& lhs, const apstring& rhs);
bool operator>(const apstring& lhs, const apstring& rhs);
bool operator>=(const apstring& lhs, const apstring& rhs);

apstring operator+(const apstring& lhs, const apstring& rhs);
apstring operator+(char ch, const apstring& str);
apstring operator+(const apstring& str, char ch);

#endif  // AP_APSTRING_H
