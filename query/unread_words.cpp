#include "unread_words.h"

#include <algorithm>
#include <utility>

#include "ascii.h"  // isFieldSpace

void UnreadWords::passed(std::string_view bytes) {
    auto at = bytes.begin();
    while (at != bytes.end()) {
        if (!inWord_) {
            auto word = std::find_if_not(at, bytes.end(), isFieldSpace);
            line_ += std::count(at, word, '\n');
            if (word == bytes.end()) break;
            inWord_ = true;
            wordStart_ = offset_ + static_cast<std::size_t>(word - bytes.begin());
            wordLine_ = line_;
            word_.clear();
            at = word;
        }
        auto end = std::find_if(at, bytes.end(), isFieldSpace);
        // A longer word is no field of the file, and matches nothing: only
        // its first kFieldLimit + 1 bytes are kept, to tell it.
        std::size_t room = kFieldLimit + 1 - word_.size();
        word_.append(at,
                     at + static_cast<std::ptrdiff_t>(std::min(room, static_cast<std::size_t>(end - at))));
        at = end;
        if (at != bytes.end()) endWord();
    }
    offset_ += bytes.size();
}

void UnreadWords::lookFrom(std::size_t offset, Wanted wanted) {
    from_ = offset;
    wanted_ = std::move(wanted);
}

void UnreadWords::fileEnded() {
    if (inWord_) endWord();
}

void UnreadWords::endWord() {
    inWord_ = false;
    if (foundLine_ == 0 && wordStart_ >= from_ && word_.size() <= kFieldLimit && wanted_(previous_, word_))
        foundLine_ = wordLine_;
    previous_.swap(word_);
}
