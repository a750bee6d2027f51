#include "text_source.h"

#include <algorithm>

#include "chunk_read.h"
#include "text_encoding.h"

namespace {

constexpr std::size_t kChunkSize = 1 << 16;
constexpr std::string_view kUtf8Mark = "\xEF\xBB\xBF";

}  // namespace

TextSource::TextSource(std::istream& source) : source_(source), chunk_(kChunkSize) {}

std::string TextSource::failure() const { return readFailureText(error_); }

void TextSource::unread(const std::string& text) {
    text_.erase(0, at_);
    text_.insert(0, text);
    at_ = 0;
}

bool TextSource::fill(std::size_t count) {
    if (at_ > 0) {
        text_.erase(0, at_);
        at_ = 0;
    }
    while (text_.size() < count && !ended_) {
        ChunkRead read = readChunk(source_, chunk_.data(), chunk_.size());
        failed_ = read.failed;
        error_ = read.error;
        const char* bytes = chunk_.data();
        std::size_t size = read.size;
        bytesRead_ += size;
        if (size == 0) {
            ended_ = true;
            // A UTF-16 file cut inside a character.
            if (utf16_) utf16_->finish(text_);
            break;
        }
        if (!started_) {
            started_ = true;
            Utf16Detector detector;
            detector.passed(std::string_view(bytes, size));
            if (std::optional<ByteOrder> order = detector.order())
                utf16_.emplace(LoneSurrogate::Kept, *order);
            std::string_view start(bytes, size);
            std::size_t mark = 0;
            if (start.substr(0, 3) == kUtf8Mark) mark = 3;
            if (utf16_ && (start.substr(0, 2) == "\xFF\xFE" || start.substr(0, 2) == "\xFE\xFF")) mark = 2;
            bytes += mark;
            size -= mark;
        }
        if (utf16_) {
            utf16_->decode(std::string_view(bytes, size), text_, true);
        } else {
            text_.append(bytes, size);
        }
    }
    return text_.size() >= count;
}

std::string_view TextSource::peekLine(std::size_t limit) {
    std::size_t searched = 0;
    while (true) {
        std::string_view rest = std::string_view(text_).substr(at_);
        std::size_t end = rest.find_first_of("\r\n", searched);
        if (end != std::string_view::npos) return rest.substr(0, std::min(end, limit));
        if (rest.size() >= limit || ended_) return rest.substr(0, std::min(rest.size(), limit));
        searched = rest.size();
        fill(rest.size() + 1);
    }
}

void TextSource::skipMarks(long long line, Reporter& reporter) {
    while ((text_.size() - at_ >= kUtf8Mark.size() || fill(kUtf8Mark.size())) &&
           std::string_view(text_).substr(at_, kUtf8Mark.size()) == kUtf8Mark) {
        at_ += kUtf8Mark.size();
        reporter.report(line, Severity::Warning,
                        "this line starts with a byte-order mark, as where one file was joined on to "
                        "another: the mark is skipped");
    }
}

void TextSource::takeRestOfLineEnd() {
    if (text_.size() - at_ < 2) fill(2);
    std::string_view rest = std::string_view(text_).substr(at_, 2);
    // CR CR LF, as some phones write, is one line end; CR CR alone is two.
    if (rest.substr(0, 1) == "\n") {
        at_ += 1;
    } else if (rest == "\r\n") {
        at_ += 2;
    }
}

bool TextSource::readLine(std::string& line, std::size_t limit, bool& cut, int& last) {
    line.clear();
    cut = false;
    last = -1;
    int c = get();
    if (c < 0) return false;
    while (c >= 0 && c != '\n' && c != '\r') {
        if (line.size() < limit) {
            line += static_cast<char>(c);
        } else {
            cut = true;
        }
        last = c;
        c = get();
    }
    if (c == '\r') takeRestOfLineEnd();
    return true;
}
