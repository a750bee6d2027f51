// The lines of a data file that hold bytes that are not UTF-8, as
// telelist-check reads past them, with how each line reads if the file is
// Latin-1 / Windows-1252, the usual reason for such bytes.
#ifndef CHECK_NON_UTF8_LINES_H
#define CHECK_NON_UTF8_LINES_H

#include <climits>
#include <cstddef>
#include <string>
#include <string_view>
#include <vector>

struct NonUtf8Line {
    long long line;
    long long column;     // of the first byte that is not UTF-8, in bytes from 1
    std::string bytes;    // those bytes, the first kBytesKept of them
    std::size_t count;    // how many there are
    bool windows1252;     // each of them is a character in Windows-1252
    bool readingWhole;    // reading holds the whole line
    std::string reading;  // the line in UTF-8, those bytes read as Windows-1252
};

class NonUtf8Lines {
public:
    static constexpr std::size_t kBytesKept = 8;

    void passed(std::string_view bytes);
    // No line after lastLine is kept from here on.
    void keepUpTo(long long lastLine);
    // The file has ended, perhaps inside a sequence or without a line end.
    void fileEnded();

    const std::vector<NonUtf8Line>& lines() const { return lines_; }

private:
    void take(char byte);
    void settlePending(bool atEnd);
    void readAsText(std::string_view sequence);
    void readAsWindows1252(unsigned char byte);
    void endLine();

    // At most a sequence's first three bytes, waiting for the rest.
    std::string pending_;
    long long line_ = 1;
    long long column_ = 1;  // of pending_'s first byte
    NonUtf8Line current_{1, 0, "", 0, true, true, ""};
    long long lastLine_ = LLONG_MAX;
    std::vector<NonUtf8Line> lines_;
};

#endif  // CHECK_NON_UTF8_LINES_H
