#include "entry_reader.h"

#include <istream>
#include <streambuf>

#include "apstring.h"
#include "token_reads.h"

// Hands out the text without a copy and tells how far reading got. The
// stream only reads, so the buffer's pointers never write through.
struct EntryReader::Stream : std::streambuf {
    explicit Stream(std::string_view text) : in(this) {
        char* begin = const_cast<char*>(text.data());
        setg(begin, begin, begin + text.size());
    }
    std::size_t offset() const { return static_cast<std::size_t>(gptr() - eback()); }

    std::istream in;
};

EntryReader::EntryReader(std::string_view text) : text_(text), stream_(std::make_unique<Stream>(text)) {}

EntryReader::~EntryReader() = default;

bool EntryReader::entryFollows() {
    // good() also stops after a failed read that did not reach the end.
    stream_->in >> std::ws;
    return stream_->in.good();
}

TokenRead EntryReader::nextEntryStart() { return tokenStart(); }

EntryRead EntryReader::readEntry(apstring& first, apstring& last, int& code, apstring& phone) {
    EntryRead entry;
    readWordToken(first, entry.first);
    readWordToken(last, entry.last);
    entry.code = tokenStart();
    entry.codeIsNumber = readNumber(stream_->in, code);
    entry.code.end = stream_->offset();
    // After an area code that is no number this finds the stream failed.
    readWordToken(phone, entry.phone);
    return entry;
}

TokenRead EntryReader::tokenStart() {
    TokenRead token;
    stream_->in >> std::ws;
    token.begin = token.end = stream_->offset();
    if (!stream_->in.good()) return token;
    token.present = true;
    countLinesTo(token.begin);
    token.line = lineEnds_ + 1;
    token.column = static_cast<int>(token.begin - lineStart_) + 1;
    return token;
}

void EntryReader::readWordToken(apstring& word, TokenRead& token) {
    token = tokenStart();
    // Also run on a failed stream: the read then empties the field.
    token.present = readWord(stream_->in, word);
    token.end = stream_->offset();
}

void EntryReader::countLinesTo(std::size_t offset) {
    for (; countedTo_ < offset; ++countedTo_) {
        if (text_[countedTo_] != '\n') continue;
        ++lineEnds_;
        lineStart_ = countedTo_ + 1;
    }
}
