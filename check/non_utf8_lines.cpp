#include "non_utf8_lines.h"

#include "text_encoding.h"

namespace {

// A line is read as Windows-1252 only up to this many bytes: enough for any
// line of names and numbers, and little memory for the longest.
constexpr std::size_t kReadingLimit = 200;
// Lines kept before the load has ended. The load reads at most 16 entries
// and a 17th's first token, so fewer lines with text than this.
constexpr std::size_t kLinesLimit = 256;

}  // namespace

void NonUtf8Lines::passed(std::string_view bytes) {
    for (char c : bytes) {
        if (line_ > lastLine_) return;  // past the lines kept: nothing to find
        take(c);
    }
}

void NonUtf8Lines::keepUpTo(long long lastLine) {
    lastLine_ = lastLine;
    while (!lines_.empty() && lines_.back().line > lastLine_) lines_.pop_back();
}

void NonUtf8Lines::fileEnded() {
    settlePending(true);
    endLine();
}

void NonUtf8Lines::take(char byte) {
    pending_ += byte;
    settlePending(false);
}

void NonUtf8Lines::settlePending(bool atEnd) {
    while (!pending_.empty()) {
        Utf8Char character = decodeUtf8(pending_);
        std::size_t length = character.length;
        if (length == 0) {
            if (!atEnd) return;  // the bytes to come may complete it
            length = pending_.size();
        }
        std::string_view bytes = std::string_view(pending_).substr(0, length);
        if (character.valid) {
            readAsText(bytes);
        } else {
            for (char byte : bytes) readAsWindows1252(static_cast<unsigned char>(byte));
        }
        pending_.erase(0, length);
    }
}

void NonUtf8Lines::readAsText(std::string_view sequence) {
    if (sequence == "\n") {
        endLine();
        return;
    }
    column_ += static_cast<long long>(sequence.size());
    if (current_.reading.size() + sequence.size() > kReadingLimit) current_.readingWhole = false;
    if (!current_.readingWhole) return;
    // A tab reads as the blank it stands for; a line end's carriage return
    // is no part of the line.
    if (sequence == "\t") sequence = " ";
    if (sequence != "\r") current_.reading += sequence;
}

void NonUtf8Lines::readAsWindows1252(unsigned char byte) {
    if (current_.count == 0) current_.column = column_;
    if (current_.count < kBytesKept) current_.bytes += static_cast<char>(byte);
    ++current_.count;
    if (!isDefinedInWindows1252(byte)) current_.windows1252 = false;
    ++column_;
    if (current_.reading.size() + 3 > kReadingLimit) current_.readingWhole = false;
    if (current_.readingWhole) appendUtf8(current_.reading, windows1252Character(byte));
}

void NonUtf8Lines::endLine() {
    if (current_.count > 0 && line_ <= lastLine_ && lines_.size() < kLinesLimit) {
        if (!current_.readingWhole) current_.reading.clear();
        lines_.push_back(std::move(current_));
    }
    ++line_;
    column_ = 1;
    current_ = {line_, 0, "", 0, true, true, ""};
}
