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
// text as a whole reads as UTF-16: at least half its two-byte units are an
// ASCII character paired with a NUL byte on the same side, and some of those
// are blanks or line ends. A name holding a NUL byte, or a run of them,
// does not make a file UTF-16.
class Utf16Detector {
public:
    void passed(std::string_view bytes);

    // The byte order of a file that is UTF-16, or nothing.
    std::optional<ByteOrder> order() const;

private:
    // Counts of two-byte units, each for one byte order.
    struct Tally {
        std::size_t ascii = 0;  // an ASCII character and a NUL byte
        std::size_t space = 0;  // of them, a blank, tab or line end
    };
    void countUnit(unsigned char first, unsigned char second);

    std::size_t offset_ = 0;     // bytes shown so far
    unsigned char pending_ = 0;  // the first byte of a unit, at an odd offset_
    std::optional<ByteOrder> mark_;
    std::size_t units_ = 0;
    Tally little_, big_;
};

#endif  // DATAFILE_UTF16_DETECTOR_H
