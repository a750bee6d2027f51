#include "file_layout.h"

#include "ascii.h"
#include "message_text.h"

void FileLayout::passed(std::string_view bytes) {
    nonUtf8_.passed(bytes);
    for (char c : bytes) {
        if (head_.size() < 3) head_ += c;
        bool space = isFieldSpace(c);
        if (!space && !inField_) ++fields_;
        inField_ = !space;
        if (c == '\n') endLine();
    }
}

void FileLayout::loadEnded(const LoadResult& loaded) {
    lastLine_ = 0;
    for (const EntryRead& entry : loaded.entries) {
        for (const TokenRead* token : {&entry.first, &entry.last, &entry.code, &entry.phone})
            if (token->present && token->line > lastLine_) lastLine_ = token->line;
    }
    while (!oddLines_.empty() && oddLines_.back().line > lastLine_) oddLines_.pop_back();
    nonUtf8_.keepUpTo(loaded.tooMany ? loaded.extraEntry.line : lastLine_);
    // Only the last entry read can have stopped the load.
    if (!loaded.entries.empty()) {
        const EntryRead& last = loaded.entries.back();
        if (last.code.present && !last.codeIsNumber && !last.code.tooLong) countAfterLine_ = last.code.line;
    }
}

void FileLayout::fileEnded() {
    if (fields_ > 0) endLine();
    nonUtf8_.fileEnded();
}

bool FileLayout::startsWithByteOrderMark() const { return head_ == "\xEF\xBB\xBF"; }

void FileLayout::endLine() {
    if (line_ <= lastLine_ && fields_ != 0 && fields_ != 4) oddLines_.push_back({line_, fields_});
    if (line_ > countAfterLine_ && fields_ > 0) ++textLinesAfter_;
    ++line_;
    fields_ = 0;
}
