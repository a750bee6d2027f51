// Telling a data file saved as UTF-16 ("Unicode" in older Notepad) from
// one in UTF-8 or another single-byte encoding, from the bytes read so far.
#ifndef DATAFILE_UTF16_DETECTOR_H
#define DATAFILE_UTF16_DETECTOR_H

#include <cstddef>
#include <optional>
#include <string_view>

enum class ByteOrder { LittleEndian, BigEndian };

// Shown a file's bytes in order from its start, a piece at a time. A file
// is UTF-16 when it starts with a UTF-16 byte-order mark, or else when its
// two-byte units read as UTF-16 text in one byte order:
//  - at least one unit in 8 is an ASCII character with a NUL byte on the
//    high side, and some of those are blanks or line ends: whatever the
//    script of the names, each entry's blanks, line end, digits and hyphen
//    are such units;
//  - its NUL bytes are not ASCII text shifted by a byte: units whose low
//    byte is NUL and whose high byte is a printable ASCII character, in
//    runs of two or more, are at most one in 8 of the ASCII characters. One
//    such unit alone is a character like any other (U+4E00, as U+AC00 and
//    U+DE00 are), but a run of them is a name whose characters each have a
//    NUL byte after them, read a byte off;
//  - almost all its units are text: at most one in 64 is U+0000 or a
//    surrogate outside a pair.
// Where both orders read so, the one with more ASCII characters is taken.
// A file whose first line is ASCII text in single bytes (at least 8
// printable characters, blanks and tabs between them, then its line end)
// is never UTF-16
// without a mark, whatever NUL bytes follow: a vCard's BEGIN:VCARD, a
// CSV header or an entry. Nor does a name holding a NUL byte, or a run of
// them, in a UTF-8 file make it UTF-16: its blanks and line ends are no
// such units, and its NUL bytes fall on either side, shift its letters by
// a byte or pair up as U+0000. A file with no NUL byte is never UTF-16
// without a mark.
class Utf16Detector {
public:
    void passed(std::string_view bytes);

    // The byte order of a file that is UTF-16, or nothing.
    std::optional<ByteOrder> order() const;

private:
    // Counts of two-byte units, each for one byte order.
    struct Tally {
        std::size_t ascii = 0;    // an ASCII character, NUL on the high side
        std::size_t breaks = 0;   // of them, a blank, tab or line end
        std::size_t shifted = 0;  // in a run of units: NUL low, printable ASCII high
        std::size_t run = 0;      // units in the run going on
        std::size_t broken = 0;   // U+0000, or a surrogate outside a pair
        bool openPair = false;    // the last unit was a high surrogate
    };
    static void count(Tally& tally, unsigned char low, unsigned char high);
    bool reads(const Tally& tally) const;
    void firstLinePassed(unsigned char byte);

    // The first line, as far as it has been shown, as single bytes.
    enum class FirstLine { Open, Text, NotText };
    FirstLine firstLine_ = FirstLine::Open;
    std::size_t printable_ = 0;  // bytes of the first line other than blanks, tabs and CR

    std::size_t offset_ = 0;     // bytes shown so far
    unsigned char pending_ = 0;  // the first byte of a unit, at an odd offset_
    std::optional<ByteOrder> mark_;
    std::size_t units_ = 0;
    Tally little_, big_;
};

#endif  // DATAFILE_UTF16_DETECTOR_H
