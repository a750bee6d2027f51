#include "data_file_reader.h"

#include <utility>

#include "apstring.h"
#include "input.h"

DataFileReader::DataFileReader(std::string content)
    : content_(std::move(content)), buffer_(content_), stream_(&buffer_) {}

bool DataFileReader::entryFollows() {
    // good() also stops after a failed read that did not reach the end.
    stream_ >> std::ws;
    return stream_.good();
}

TokenRead DataFileReader::nextEntryStart() { return tokenStart(); }

EntryRead DataFileReader::readEntry(apstring& first, apstring& last, int& code, apstring& phone) {
    EntryRead entry;
    readWordToken(first, entry.first);
    readWordToken(last, entry.last);
    entry.code = tokenStart();
    entry.codeIsNumber = readNumber(stream_, code);
    entry.code.end = buffer_.offset();
    // After an area code that is no number this finds the stream failed.
    readWordToken(phone, entry.phone);
    return entry;
}

TokenRead DataFileReader::tokenStart() {
    TokenRead token;
    stream_ >> std::ws;
    token.begin = token.end = buffer_.offset();
    if (!stream_.good()) return token;
    token.present = true;
    countLinesTo(token.begin);
    token.line = lineEnds_ + 1;
    token.column = static_cast<int>(token.begin - lineStart_) + 1;
    return token;
}

void DataFileReader::readWordToken(apstring& word, TokenRead& token) {
    token = tokenStart();
    // Also run on a failed stream: the read then empties the field.
    token.present = readWord(stream_, word);
    token.end = buffer_.offset();
}

void DataFileReader::countLinesTo(std::size_t offset) {
    for (; countedTo_ < offset; ++countedTo_) {
        if (content_[countedTo_] != '\n') continue;
        ++lineEnds_;
        lineStart_ = countedTo_ + 1;
    }
}
