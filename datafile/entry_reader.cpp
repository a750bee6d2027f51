#include "entry_reader.h"

#include <algorithm>
#include <istream>
#include <limits>
#include <streambuf>
#include <vector>

#include "apstring.h"
#include "chunk_read.h"
#include "token_reads.h"

namespace {

constexpr std::size_t kChunkSize = 1 << 16;
constexpr std::size_t kNoLimit = std::numeric_limits<std::size_t>::max();

}  // namespace

// The source a chunk at a time. While a token is read, the get area ends
// kFieldLimit + 1 bytes after its start, so that the program's own word and
// number reads, which read as far as a token goes, stop there too.
struct EntryReader::Stream : std::streambuf {
    Stream(std::istream& from, ByteObserver* watcher)
        : source(from), observer(watcher), chunk(kChunkSize), in(this) {
        setg(chunk.data(), chunk.data(), chunk.data());
        passedTo = captureFrom = chunk.data();
    }

    std::size_t offset() const { return chunkOffset + static_cast<std::size_t>(gptr() - eback()); }

    // Counts the line ends before the read position and shows the bytes to
    // the observer.
    void catchUp() { account(gptr()); }

    void beginToken(std::size_t begin, bool capture) {
        limit = begin + kFieldLimit + 1;
        captured.clear();
        capturing = capture;
        captureFrom = gptr();
        setg(eback(), gptr(), clampedEnd());
    }

    std::string endToken() {
        if (capturing) captured.append(captureFrom, gptr());
        capturing = false;
        limit = kNoLimit;
        setg(eback(), gptr(), clampedEnd());
        std::string text;
        text.swap(captured);
        return text;
    }

    int_type underflow() override {
        char* dataEnd = chunk.data() + filled;
        if (gptr() < dataEnd) {  // the token reached the field limit
            limitReached = true;
            return traits_type::eof();
        }
        account(dataEnd);
        if (capturing) captured.append(captureFrom, dataEnd);
        chunkOffset += filled;
        filled = refill();
        passedTo = captureFrom = chunk.data();
        setg(chunk.data(), chunk.data(), clampedEnd());
        if (gptr() == egptr()) {
            limitReached = filled > 0;
            return traits_type::eof();
        }
        return traits_type::to_int_type(*gptr());
    }

    std::istream& source;
    ByteObserver* observer;
    // Shown each chunk as it is read: a load that stops early, as one of
    // UTF-16 does at its first area code, still has it judge all of them.
    Utf16Detector utf16;
    AddressBookDetector addressBook;
    std::vector<char> chunk;
    std::size_t chunkOffset = 0;   // file offset of chunk[0]
    std::size_t filled = 0;        // bytes of chunk read from the source
    std::size_t limit = kNoLimit;  // file offset the get area may not pass
    bool limitReached = false;     // the get area stopped at the limit
    bool fieldTooLong = false;     // a token went past the limit: nothing more is read
    bool readError = false;
    int readErrno = 0;
    char* passedTo;  // bytes before it are counted and shown
    long long lineEnds = 0;
    std::size_t lineStart = 0;  // file offset of the current line
    bool capturing = false;
    std::string captured;  // the token so far, from chunks already left
    char* captureFrom;
    std::istream in;

private:
    char* clampedEnd() {
        std::size_t end = chunkOffset + filled;
        if (limit < end) end = limit;
        return chunk.data() + (end - chunkOffset);
    }

    void account(char* upTo) {
        for (char* at = passedTo; at < upTo; ++at) {
            if (*at != '\n') continue;
            ++lineEnds;
            lineStart = chunkOffset + static_cast<std::size_t>(at - chunk.data()) + 1;
        }
        std::string_view bytes(passedTo, static_cast<std::size_t>(upTo - passedTo));
        if (observer != nullptr && !bytes.empty()) observer->passed(bytes);
        passedTo = upTo;
    }

    std::size_t refill() {
        if (readError) return 0;
        ChunkRead read = readChunk(source, chunk.data(), chunk.size());
        readError = read.failed;
        readErrno = read.error;
        utf16.passed(std::string_view(chunk.data(), read.size));
        addressBook.passed(std::string_view(chunk.data(), read.size));
        return read.size;
    }
};

const TokenRead* EntryRead::tooLong() const {
    for (const TokenRead* token : {&first, &last, &code, &phone})
        if (token->tooLong) return token;
    return nullptr;
}

EntryReader::EntryReader(std::istream& source, ByteObserver* observer)
    : stream_(std::make_unique<Stream>(source, observer)) {}

EntryReader::~EntryReader() = default;

bool EntryReader::entryFollows() {
    // good() also stops after a failed read that did not reach the end.
    stream_->in >> std::ws;
    return stream_->in.good();
}

TokenRead EntryReader::nextEntryStart() {
    TokenRead token = tokenStart();
    if (!token.present) return token;
    // Its bytes, up to the field limit, for a message to show; the rest of
    // the entry is not read.
    std::istream& in = stream_->in;
    while (!apstring::isWordSpace(in.peek()) && in.peek() != std::char_traits<char>::eof()) in.get();
    token.end = stream_->offset();
    token.text = stream_->endToken();
    return token;
}

EntryRead EntryReader::readEntry(apstring& first, apstring& last, int& code, apstring& phone) {
    EntryRead entry;
    readWordToken(first, entry.first);
    readWordToken(last, entry.last);
    entry.code = tokenStart();
    int value = 0;
    bool number = readNumber(stream_->in, value);
    entry.code.end = stream_->offset();
    if (!number && entry.code.present && !stream_->limitReached) {
        // Not a number: the message about it quotes the whole token. The
        // read stays failed, so nothing after it is loaded.
        stream_->in.clear();
        while (!apstring::isWordSpace(stream_->in.peek()) &&
               stream_->in.peek() != std::char_traits<char>::eof())
            stream_->in.get();
        stream_->in.setstate(std::ios::failbit);
    }
    std::size_t end = entry.code.end;
    finishToken(entry.code);
    entry.code.end = end;
    // Digits past the field limit are no area code either.
    entry.codeIsNumber = number && !entry.code.tooLong;
    if (entry.codeIsNumber) code = value;
    // After an area code that is no number this finds the stream failed.
    readWordToken(phone, entry.phone);
    return entry;
}

bool EntryReader::readToEnd(std::size_t most) {
    if (stream_->fieldTooLong || stream_->readError) return false;
    std::istream& in = stream_->in;
    in.clear();
    // ignore() of the largest count has no bound.
    constexpr auto kAll = static_cast<std::size_t>(std::numeric_limits<std::streamsize>::max());
    in.ignore(static_cast<std::streamsize>(std::min(most, kAll)));
    stream_->catchUp();
    // The end may come right after the bound.
    return in.peek() == std::char_traits<char>::eof() && !stream_->readError;
}

std::optional<ByteOrder> EntryReader::utf16Order() const { return stream_->utf16.order(); }

std::optional<AddressBook> EntryReader::addressBook() const {
    return stream_->addressBook.kind(stream_->utf16.order().has_value());
}

bool EntryReader::readFailed() const { return stream_->readError; }

std::string EntryReader::failure() const { return readFailureText(stream_->readErrno); }

TokenRead EntryReader::tokenStart(bool keepText) {
    TokenRead token;
    Stream& s = *stream_;
    s.in >> std::ws;
    token.begin = token.end = s.offset();
    if (!s.in.good()) return token;
    token.present = true;
    s.catchUp();
    token.line = s.lineEnds + 1;
    token.column = static_cast<long long>(token.begin - s.lineStart) + 1;
    s.beginToken(token.begin, keepText);
    return token;
}

void EntryReader::finishToken(TokenRead& token) {
    token.end = stream_->offset();
    if (!token.present) return;
    token.text = stream_->endToken();
    token.tooLong = std::max(token.text.size(), token.end - token.begin) > kFieldLimit;
    if (token.tooLong) {
        stream_->fieldTooLong = true;
        stream_->in.setstate(std::ios::failbit);
    }
}

void EntryReader::readWordToken(apstring& word, TokenRead& token) {
    token = tokenStart(false);
    // Also run on a failed stream: the read then empties the field.
    token.present = readWord(stream_->in, word);
    finishToken(token);
    if (token.tooLong) word = "";
}
