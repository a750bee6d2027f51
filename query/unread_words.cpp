#include "unread_words.h"

#include <utility>

#include "apstring.h"

void UnreadWords::passed(std::string_view bytes) {
    for (char c : bytes) {
        if (apstring::isWordSpace(static_cast<unsigned char>(c))) {
            if (inWord_) endWord();
            if (c == '\n') ++line_;
        } else {
            if (!inWord_) {
                inWord_ = true;
                wordStart_ = offset_;
                wordLine_ = line_;
                word_.clear();
            }
            // A longer word is no field of the file, and matches nothing.
            if (word_.size() <= kFieldLimit) word_ += c;
        }
        ++offset_;
    }
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
