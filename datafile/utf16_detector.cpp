#include "utf16_detector.h"

namespace {

constexpr std::size_t kTextLineLength = 8;

bool isAsciiCharacter(unsigned char byte) { return byte > 0 && byte < 0x80; }

bool isPrintableAscii(unsigned char byte) { return byte > ' ' && byte < 0x7F; }

bool isBlankOrLineEnd(unsigned char byte) {
    return byte == ' ' || byte == '\t' || byte == '\n' || byte == '\r';
}

}  // namespace

void Utf16Detector::passed(std::string_view bytes) {
    for (char c : bytes) {
        auto byte = static_cast<unsigned char>(c);
        if (firstLine_ == FirstLine::Open) firstLinePassed(byte);
        if (offset_ % 2 == 0) {
            pending_ = byte;
        } else {
            if (offset_ == 1 && pending_ == 0xFF && byte == 0xFE) mark_ = ByteOrder::LittleEndian;
            if (offset_ == 1 && pending_ == 0xFE && byte == 0xFF) mark_ = ByteOrder::BigEndian;
            ++units_;
            count(little_, pending_, byte);
            count(big_, byte, pending_);
        }
        ++offset_;
    }
}

void Utf16Detector::firstLinePassed(unsigned char byte) {
    if (byte == '\n') {
        firstLine_ = printable_ >= kTextLineLength ? FirstLine::Text : FirstLine::NotText;
    } else if (isPrintableAscii(byte)) {
        ++printable_;
    } else if (byte != ' ' && byte != '\t' && byte != '\r') {
        firstLine_ = FirstLine::NotText;
    }
}

void Utf16Detector::count(Tally& tally, unsigned char low, unsigned char high) {
    if (high == 0 && isAsciiCharacter(low)) {
        ++tally.ascii;
        if (isBlankOrLineEnd(low)) ++tally.breaks;
    }
    if (low == 0 && isPrintableAscii(high)) {
        // The second unit of a run counts the first too.
        tally.shifted += ++tally.run == 2 ? 2 : tally.run > 2 ? 1 : 0;
    } else {
        tally.run = 0;
    }
    bool highSurrogate = high >= 0xD8 && high <= 0xDB;
    bool lowSurrogate = high >= 0xDC && high <= 0xDF;
    if (tally.openPair && !lowSurrogate) ++tally.broken;
    if ((lowSurrogate && !tally.openPair) || (high == 0 && low == 0)) ++tally.broken;
    tally.openPair = highSurrogate;
}

bool Utf16Detector::reads(const Tally& tally) const {
    return tally.ascii * 8 >= units_ && tally.breaks > 0 && tally.shifted * 8 <= tally.ascii &&
           tally.broken * 64 <= units_;
}

std::optional<ByteOrder> Utf16Detector::order() const {
    if (mark_) return mark_;
    if (firstLine_ == FirstLine::Text) return std::nullopt;
    bool little = reads(little_), big = reads(big_);
    // Where both read, the text's ASCII characters are those of one order.
    if (little && big) return little_.ascii >= big_.ascii ? ByteOrder::LittleEndian : ByteOrder::BigEndian;
    if (little) return ByteOrder::LittleEndian;
    if (big) return ByteOrder::BigEndian;
    return std::nullopt;
}
