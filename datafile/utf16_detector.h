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
//  - its NUL bytes sit on the high side of the units: units whose low byte
//    alone is NUL are at most one in 8 of those whose high byte alone is;
//  - almost all its units are text: at most one in 64 is U+0000 or a
//    surrogate outside a pair.
// A name holding a NUL byte, or a run of them, in a UTF-8 file does not
// make the file UTF-16: its blanks and line ends are no such units, and
// its NUL bytes fall on either side or pair up as U+0000. Nor does a stray
// NUL byte after a line end. A file with no NUL byte is never UTF-16
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
        std::size_t nulHigh = 0;  // the high byte alone is NUL
        std::size_t nulLow = 0;   // the low byte alone is NUL
        std::size_t broken = 0;   // U+0000, or a surrogate outside a pair
        bool openPair = false;    // the last unit was a high surrogate
    };
    static void count(Tally& tally, unsigned char low, unsigned char high);
    bool reads(const Tally& tally) const;

    std::size_t offset_ = 0;     // bytes shown so far
    unsigned char pending_ = 0;  // the first byte of a unit, at an odd offset_
    std::optional<ByteOrder> mark_;
    std::size_t units_ = 0;
    Tally little_, big_;
};

#endif  // DATAFILE_UTF16_DETECTOR_H
