#include "apstring.h"

#include <climits>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <iostream>
#include <stdexcept>
#include <string_view>
#include <utility>

const int npos = -1;

namespace {

// Stops the program the way a failed C assertion does, naming this file.
void requireText(const char* s, const char* file, unsigned line) {
    if (s != nullptr) return;
    // GCOVR_EXCL_START: the process aborts, so its coverage is never saved
    (void)std::fprintf(stderr, "%s:%u: failed assertion `%s'\n", file, line, "s != 0");
    (void)std::fflush(stderr);
    std::abort();
    // GCOVR_EXCL_STOP
}
#define REQUIRE_TEXT(s) requireText((s), __FILE__, __LINE__)

// Length of a C text, refused when it would not fit the int fields.
int measuredLength(const char* s) {
    std::size_t len = std::strlen(s);
    if (len >= static_cast<std::size_t>(INT_MAX)) throw std::length_error("apstring: text too long");
    return static_cast<int>(len);
}

// Sets gcount() to 0, as a read that takes no character does, without
// touching the stream's characters or its state.
void clearCount(std::istream& is) {
    char unused;
    is.read(&unused, 0);
}

std::string_view view(const apstring& str) { return {str.c_str(), static_cast<std::size_t>(str.length())}; }

}  // namespace

int apstring::grownCapacity(std::int64_t newLength, bool oneCharGrowth) {
    std::int64_t capacity = newLength + 1;
    if (oneCharGrowth) capacity *= 2;
    if (newLength < 0 || capacity > INT_MAX) throw std::length_error("apstring: text too long");
    return static_cast<int>(capacity);
}

void apstring::swap(apstring& other) noexcept {
    std::swap(myLength, other.myLength);
    std::swap(myCapacity, other.myCapacity);
    std::swap(myCstring, other.myCstring);
}

apstring::apstring() : myLength(0), myCapacity(1), myCstring(new char[1]) { myCstring[0] = '\0'; }

apstring::apstring(const char* s) : myLength(0), myCapacity(1), myCstring(nullptr) {
    REQUIRE_TEXT(s);
    myLength = measuredLength(s);
    myCapacity = myLength + 1;
    myCstring = new char[myCapacity];
    std::memcpy(myCstring, s, myCapacity);
}

apstring::apstring(const apstring& str)
    : myLength(str.myLength), myCapacity(str.myLength + 1), myCstring(new char[myCapacity]) {
    std::memcpy(myCstring, str.myCstring, myCapacity);
}

apstring::~apstring() { delete[] myCstring; }

const apstring& apstring::operator=(const apstring& rhs) {
    if (this != &rhs) assign(rhs.myCstring, rhs.myLength);
    return *this;
}

const apstring& apstring::operator=(const char* s) {
    REQUIRE_TEXT(s);
    assign(s, measuredLength(s));
    return *this;
}

const apstring& apstring::operator=(char ch) {
    if (myCapacity <= 1) growTo(2);
    myLength = 1;
    myCstring[0] = ch;
    myCstring[1] = '\0';
    return *this;
}

// Keeps the buffer when the text fits; text may lie inside this buffer.
void apstring::assign(const char* text, int len) {
    if (myCapacity < len + 1) {
        int capacity = grownCapacity(len, false);
        char* fresh = new char[capacity];
        delete[] myCstring;
        myCstring = fresh;
        myCapacity = capacity;
    }
    std::memmove(myCstring, text, len);
    myLength = len;
    myCstring[len] = '\0';
}

// Replaces the buffer by a larger one holding the same text.
void apstring::growTo(int newCapacity) {
    char* fresh = new char[newCapacity];
    std::memcpy(fresh, myCstring, myLength + 1);
    delete[] myCstring;
    myCstring = fresh;
    myCapacity = newCapacity;
}

void apstring::append(const char* text, int len) {
    std::int64_t newLength = static_cast<std::int64_t>(myLength) + len;
    if (newLength >= myCapacity) growTo(grownCapacity(newLength, len == 1));
    std::memcpy(myCstring + myLength, text, len);
    myLength = static_cast<int>(newLength);
    myCstring[myLength] = '\0';
}

void apstring::growForOneMore() { growTo(grownCapacity(myLength + 1LL, true)); }

const apstring& apstring::operator+=(const apstring& str) {
    if (this == &str) {
        // Appending to itself appends the text as it was before the call.
        int len = myLength;
        std::int64_t newLength = 2LL * len;
        if (newLength >= myCapacity) growTo(grownCapacity(newLength, len == 1));
        std::memcpy(myCstring + len, myCstring, len);
        myLength = static_cast<int>(newLength);
        myCstring[myLength] = '\0';
    } else {
        append(str.myCstring, str.myLength);
    }
    return *this;
}

void apstring::badIndex(int k) const {
    std::cerr << "index out of range: " << k << " string: " << view(*this) << std::endl;
    std::exit(1);
}

apstring apstring::substr(int pos, int len) const {
    if (pos < 0) pos = 0;
    apstring result;
    if (pos >= myLength) return result;
    std::int64_t lastIndex = static_cast<std::int64_t>(pos) + len - 1;
    if (lastIndex >= myLength) lastIndex = myLength - 1;
    if (lastIndex >= pos) result.assign(myCstring + pos, static_cast<int>(lastIndex - pos + 1));
    return result;
}

int apstring::find(const apstring& str) const {
    std::size_t at = view(*this).find(view(str));
    return at == std::string_view::npos ? npos : static_cast<int>(at);
}

int apstring::find(char ch) const {
    const void* at = std::memchr(myCstring, static_cast<unsigned char>(ch), myLength);
    return at == nullptr ? npos : static_cast<int>(static_cast<const char*>(at) - myCstring);
}

std::ostream& operator<<(std::ostream& os, const apstring& str) {
    // Inserted as one text, so the stream's width and fill apply to it whole.
    return os << view(str);
}

// Reads one word. The first character goes through a formatted read (which
// flushes the tied output stream and skips whitespace); the rest are taken
// straight from the buffer. The stream ends as a get() per character and a
// putback() of the whitespace after the word would leave it, gcount() too.
std::istream& operator>>(std::istream& is, apstring& str) {
    str.assign("", 0);
    std::istream::sentry firstRead(is);
    if (!firstRead) {
        is.setstate(std::ios::failbit);
        return is;
    }
    std::streambuf* buf = is.rdbuf();
    int c = buf->sgetc();
    while (c != EOF && !(str.myLength > 0 && apstring::isWordSpace(c))) {
        str.appendChar(static_cast<char>(c));
        c = buf->snextc();
    }
    if (c != EOF) {
        buf->sbumpc();
        is.putback(static_cast<char>(c));
    } else {
        if (str.myLength > 0) clearCount(is);  // the get() after the word found nothing
        is.setstate(std::ios::eofbit | std::ios::failbit);
    }
    return is;
}

// Reads up to the next line feed, which is consumed and not stored; gcount()
// ends as the last get() of a line read by get() would leave it.
std::istream& getline(std::istream& is, apstring& str) {
    str.assign("", 0);
    std::istream::sentry lineRead(is, true);
    if (!lineRead) {
        clearCount(is);  // as the first get() on a failed stream
        is.setstate(std::ios::failbit);
        return is;
    }
    std::streambuf* buf = is.rdbuf();
    int c = buf->sgetc();
    while (c != EOF && c != '\n') {
        str.appendChar(static_cast<char>(c));
        c = buf->snextc();
    }
    if (c == '\n') {
        is.get();
    } else {
        clearCount(is);
        is.setstate(std::ios::eofbit | std::ios::failbit);
    }
    return is;
}

apstring operator+(const apstring& lhs, const apstring& rhs) {
    apstring result(lhs);
    result += rhs;
    return apstring(result);
}

apstring operator+(char ch, const apstring& str) {
    apstring result;
    result = ch;
    result += str;
    return apstring(result);
}

apstring operator+(const apstring& str, char ch) {
    apstring result(str);
    result += ch;
    return apstring(result);
}
