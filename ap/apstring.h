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
#include <cstring>
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

    // Exchanges the two texts, buffers and all.
    void swap(apstring& other) noexcept;

    int length() const { return myLength; }
    int capacity() const { return myCapacity; }
    const char* c_str() const { return myCstring; }

    int find(const apstring& str) const;  // first index of str, or npos
    int find(char ch) const;              // first index of ch, or npos
    apstring substr(int pos, int len) const;

    // Both end the program on a bad index.
    char operator[](int k) const {
        checkIndex(k);
        return myCstring[k];
    }
    char& operator[](int k) {
        checkIndex(k);
        return myCstring[k];
    }

    const apstring& operator+=(const apstring& str);
    const apstring& operator+=(char ch) {
        appendChar(ch);
        return *this;
    }

    friend std::istream& operator>>(std::istream& is, apstring& str);
    friend std::istream& getline(std::istream& is, apstring& str);

    // The word separators of stream extraction: blank, tab, line feed,
    // vertical tab, form feed, carriage return. Bytes above 127 never are.
    static bool isWordSpace(int c) {
        return c == ' ' || static_cast<unsigned>(c - '\t') <= static_cast<unsigned>('\r' - '\t');
    }

    // The growth policy: the buffer size for a text of newLength bytes
    // after an append, an exact fit, doubled for a one-character append.
    // Throws std::length_error when the size would not fit in an int.
    static int grownCapacity(std::int64_t newLength, bool oneCharGrowth);

private:
    // Appends len bytes from outside this string's buffer.
    void append(const char* text, int len);
    void assign(const char* text, int len);
    void growTo(int newCapacity);

    // The per-character paths are inline so that callers pay no call per
    // character; their rare branches (growth, a bad index) stay out of line.
    void appendChar(char ch) {
        const int len = myLength;
        if (len + 1 >= myCapacity) growForOneMore();
        char* text = myCstring;
        text[len] = ch;
        text[len + 1] = '\0';
        myLength = len + 1;  // stored last: the byte stores above may alias it
    }
    // Grows the full buffer the way a one-character append does.
    void growForOneMore();
    void checkIndex(int k) const {
        if (k < 0 || k >= myLength) badIndex(k);
    }
    // Reports a bad index and ends the program with status 1.
    [[noreturn]] void badIndex(int k) const;

    // Invariants: myCstring owns myCapacity bytes; 0 <= myLength and
    // myLength + 1 <= myCapacity; myCstring[myLength] == '\0'. The buffer
    // never shrinks, and no two strings share one.
    int myLength;
    int myCapacity;
    char* myCstring;
};

std::ostream& operator<<(std::ostream& os, const apstring& str);
std::istream& operator>>(std::istream& is, apstring& str);
std::istream& getline(std::istream& is, apstring& str);

// The comparisons go byte by byte, as unsigned char, over the stored
// lengths (NUL bytes included); a proper prefix comes first.
inline bool operator==(const apstring& lhs, const apstring& rhs) {
    return lhs.length() == rhs.length() &&
           std::memcmp(lhs.c_str(), rhs.c_str(), static_cast<std::size_t>(lhs.length())) == 0;
}
inline bool operator!=(const apstring& lhs, const apstring& rhs) { return !(lhs == rhs); }
// Most names differ in their first byte, which every buffer has (an empty
// text's is its NUL, lower than any other byte), so that byte is tried first.
inline bool operator<(const apstring& lhs, const apstring& rhs) {
    const unsigned char first = lhs.c_str()[0], otherFirst = rhs.c_str()[0];
    if (first != otherFirst) return first < otherFirst;
    const int lhsLength = lhs.length(), rhsLength = rhs.length();
    const int common = lhsLength < rhsLength ? lhsLength : rhsLength;
    const int order = std::memcmp(lhs.c_str(), rhs.c_str(), static_cast<std::size_t>(common));
    return order != 0 ? order < 0 : lhsLength < rhsLength;
}
inline bool operator<=(const apstring& lhs, const apstring& rhs) { return !(rhs < lhs); }
inline bool operator>(const apstring& lhs, const apstring& rhs) { return rhs < lhs; }
inline bool operator>=(const apstring& lhs, const apstring& rhs) { return !(lhs < rhs); }

apstring operator+(const apstring& lhs, const apstring& rhs);
apstring operator+(char ch, const apstring& str);
apstring operator+(const apstring& str, char ch);

#endif  // AP_APSTRING_H
