// The words of a data file past the point where its load stopped, looked
// through for one a lookup wants, as the shared reader reads on to the end.
// Memory stays small whatever the file: two words, each cut at the field
// limit.
#ifndef QUERY_UNREAD_WORDS_H
#define QUERY_UNREAD_WORDS_H

#include <cstddef>
#include <functional>
#include <string>
#include <string_view>

#include "entry_reader.h"

class UnreadWords final : public ByteObserver {
public:
    // Whether a word is the one looked for; previous is the word before it
    // (an area code before a number).
    using Wanted = std::function<bool(std::string_view previous, std::string_view word)>;

    void passed(std::string_view bytes) override;

    // From now on, looks at the words that start at offset or later.
    void lookFrom(std::size_t offset, Wanted wanted);
    // The file has ended: looks at its last word.
    void fileEnded();

    // The line of the first word wanted, or 0.
    long long foundLine() const { return foundLine_; }
    // The line of the last byte passed.
    long long line() const { return line_; }

private:
    void endWord();

    std::size_t offset_ = 0;  // of the next byte
    long long line_ = 1;
    bool inWord_ = false;
    std::size_t wordStart_ = 0;
    long long wordLine_ = 0;
    std::string word_, previous_;
    std::size_t from_ = static_cast<std::size_t>(-1);
    Wanted wanted_;
    long long foundLine_ = 0;
};

#endif  // QUERY_UNREAD_WORDS_H
