// An address book file as UTF-8 text, read a chunk at a time: a UTF-8
// byte-order mark skipped, UTF-16 (either byte order, with or without its
// mark) decoded, and every line end a phone or program writes (LF, CR LF,
// CR, CR CR LF) told as one. A UTF-16 surrogate without its other half is
// given in the three bytes UTF-8 would write it in (ED A0 80 to ED BF BF),
// which are no UTF-8, for the reader to tell of.
#ifndef CONVERT_TEXT_SOURCE_H
#define CONVERT_TEXT_SOURCE_H

#include <cstddef>
#include <iosfwd>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "contact.h"        // Reporter
#include "text_encoding.h"  // Utf16Decoder

class TextSource {
public:
    // Reads from source, which must outlive this.
    explicit TextSource(std::istream& source);

    // The next byte of the text, or -1 at its end (or after a read error).
    int get() {
        if (at_ == text_.size() && !fill(1)) return -1;
        return static_cast<unsigned char>(text_[at_++]);
    }

    // After get() gave a CR: takes the LF or CR LF that makes it one line
    // end with it, if one follows.
    void takeRestOfLineEnd();

    // Reads the rest of a line into line, without its line end: at most
    // limit bytes are kept, and cut says whether more were dropped. last is
    // the line's last byte (kept or not), or -1 for an empty line. False at
    // the end of the text when no line is left.
    bool readLine(std::string& line, std::size_t limit, bool& cut, int& last);

    // The text up to the next line end, without taking it: at most limit
    // bytes.
    std::string_view peekLine(std::size_t limit);

    // At the start of line: takes each byte-order mark there, telling
    // reporter of it. A file joined on to another (cat a.vcf b.vcf) leaves
    // its mark there, and in UTF-16 one of the other byte order switches to
    // that order.
    void skipMarks(long long line, Reporter& reporter);

    // Puts text back in front of what is still to be read.
    void unread(const std::string& text);

    // Bytes of the file read so far.
    unsigned long long bytesRead() const { return bytesRead_; }

    bool readFailed() const { return failed_; }
    std::string failure() const;

private:
    // Drops the bytes given so far and decodes chunks of the file until at
    // least count bytes are left to give; false when the file ends first.
    bool fill(std::size_t count);

    std::istream& source_;
    std::vector<char> chunk_;
    std::string text_;  // decoded text; at_ is the next byte to give
    std::size_t at_ = 0;
    bool started_ = false;
    bool ended_ = false;
    bool failed_ = false;
    int error_ = 0;
    unsigned long long bytesRead_ = 0;
    std::optional<Utf16Decoder> utf16_;  // for a UTF-16 file
};

#endif  // CONVERT_TEXT_SOURCE_H
