// The one reading of the data file, shared by the directory and
// telelist-check so that the two can never disagree about what loads. It
// reads a stream of whitespace-separated tokens four at a time (first name,
// last name, area code, number) with the program's own word and number
// reads, and notes where each token starts and what it holds. The file is
// read a chunk at a time and never further than the entries asked for, so
// memory does not grow with the file.
#ifndef DATAFILE_ENTRY_READER_H
#define DATAFILE_ENTRY_READER_H

#include <cstddef>
#include <iosfwd>
#include <limits>
#include <memory>
#include <optional>
#include <string>
#include <string_view>

#include "address_book_detector.h"
#include "utf16_detector.h"

class apstring;

// The longest field the data file may hold, in bytes. A longer one ends the
// load where it starts: it is no name or number, and reading on could take
// all memory (a file that is one endless token, such as /dev/zero).
constexpr std::size_t kFieldLimit = 65536;

// One token of an entry as the reader met it.
struct TokenRead {
    bool present = false;   // a token started here (for the area code: even one that is no number)
    bool tooLong = false;   // longer than kFieldLimit; the load stopped here
    std::size_t begin = 0;  // byte offset of its first character
    std::size_t end = 0;    // byte offset just after what the read consumed
    long long line = 0;     // 1 for the first line
    long long column = 0;   // in bytes, 1 for the first
    // For an area code and the first token of a 17th entry, what the read
    // consumed (at most kFieldLimit + 1 bytes; for an area code that is no
    // number, the whole token), for messages to quote. Empty for a name or
    // number, which the table the load fills holds: a field is not kept twice.
    std::string text;
};

// Where the four tokens of one entry were and how the area code read.
struct EntryRead {
    TokenRead first, last, code, phone;
    bool codeIsNumber = false;  // the area code was read as a decimal int

    // The token longer than kFieldLimit that ended the load, or null.
    const TokenRead* tooLong() const;
    // The file ended before the entry was whole. (An area code that is no
    // number, or a field too long, is not this: it ends the load on purpose.)
    bool cutShort() const {
        return tooLong() == nullptr && (!last.present || !code.present || (codeIsNumber && !phone.present));
    }
};

// Shown every byte the reader has read past, in file order, once each.
class ByteObserver {
public:
    virtual ~ByteObserver() = default;
    virtual void passed(std::string_view bytes) = 0;
};

class EntryReader {
public:
    // Reads from source, which must outlive the reader; shows the bytes it
    // reads past to observer, when there is one.
    explicit EntryReader(std::istream& source, ByteObserver* observer = nullptr);
    ~EntryReader();
    EntryReader(const EntryReader&) = delete;
    EntryReader& operator=(const EntryReader&) = delete;

    // Skips whitespace; true when another entry starts here. After a read
    // that failed (an area code that is no number, a field too long, the
    // end of the file, a read error) nothing more is read.
    bool entryFollows();

    // The next entry's first token (its text cut at the field limit), once
    // entryFollows() said there is one; the rest of the entry is not read.
    TokenRead nextEntryStart();

    // Reads one entry into the four fields. A field whose token is missing
    // becomes the empty text, and so does one too long; an area code that
    // is no number leaves code as it was. The read stops at either.
    EntryRead readEntry(apstring& first, apstring& last, int& code, apstring& phone);

    // Reads past the rest of the file, or its next most bytes, showing them
    // to the observer; true when it reached the end. Not after a field too
    // long or a read error.
    bool readToEnd(std::size_t most = std::numeric_limits<std::size_t>::max());

    // The byte order when the bytes read from the source so far, whole
    // chunks and so also some past the last token, are UTF-16 (see
    // Utf16Detector), or nothing.
    std::optional<ByteOrder> utf16Order() const;

    // A vCard or CSV address book, by the first line read (see
    // AddressBookDetector), or nothing.
    std::optional<AddressBook> addressBook() const;

    // A read of the source failed; why, as "cannot read: Input/output error".
    bool readFailed() const;
    std::string failure() const;

private:
    struct Stream;  // the source as an input stream, and how far it was read

    // Skips whitespace and notes where the token that follows starts; the
    // token's text is kept when keepText says so.
    TokenRead tokenStart(bool keepText = true);
    void readWordToken(apstring& word, TokenRead& token);
    // Ends the token begun by tokenStart(): its text and end.
    void finishToken(TokenRead& token);

    std::unique_ptr<Stream> stream_;
};

#endif  // DATAFILE_ENTRY_READER_H
