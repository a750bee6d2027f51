#include "utf16_detector.h"

namespace {

bool isAsciiCharacter(unsigned char byte) { return byte > 0 && byte < 0x80; }

bool isBlankOrLineEnd(unsigned char byte) {
    return byte == ' ' || byte == '\t' || byte == '\n' || byte == '\r';
}

}  // namespace

void Utf16Detector::passed(std::string_view bytes) {
    for (char c : bytes) {
        auto byte = static_cast<unsigned char>(c);
        if (offset_ % 2 == 0) {
            pending_ = byte;
        } else {
            if (offset_ == 1 && pending_ == 0xFF && byte == 0xFE) mark_ = ByteOrder::LittleEndian;
            if (offset_ == 1 && pending_ == 0xFE && byte == 0xFF) mark_ = ByteOrder::BigEndian;
            countUnit(pending_, byte);
        }
        ++offset_;
    }
}

void Utf16Detector::countUnit(unsigned char first, unsigned char second) {
    ++units_;
    if (isAsciiCharacter(first) && second == 0) {
        ++little_.ascii;
        if (isBlankOrLineEnd(first)) ++little_.space;
    }
    if (first == 0 && isAsciiCharacter(second)) {
        ++big_.ascii;
        if (isBlankOrLineEnd(second)) ++big_.space;
    }
}

std::optional<ByteOrder> Utf16Detector::order() const {
    if (mark_) return mark_;
    auto reads = [&](const Tally& tally) { return tally.space > 0 && 2 * tally.ascii >= units_; };
    if (reads(little_)) return ByteOrder::LittleEndian;
    if (reads(big_)) return ByteOrder::BigEndian;
    return std::nullopt;
}
