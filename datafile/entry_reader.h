// The one reading of the data file, shared by the directory and
// telelist-check so that the two can never disagree about what loads. It
// reads a stream of whitespace-separated tokens four at a time (first name,
// last name, area code, number) with the program's own word and number
// reads, and notes where each token starts.
#ifndef DATAFILE_ENTRY_READER_H
#define DATAFILE_ENTRY_READER_H

#include <cstddef>
#include <memory>
#include <string_view>

class apstring;

// One token of an entry as the reader met it.
struct TokenRead {
    bool present = false;   // a token started here (for the area code: even one that is no number)
    std::size_t begin = 0;  // byte offset of its first character
    std::size_t end = 0;    // byte offset just after what the read consumed
    int line = 0;           // 1 for the first line
    int column = 0;         // in bytes, 1 for the first
};

// Where the four tokens of one entry were and how the area code read.
struct EntryRead {
    TokenRead first, last, code, phone;
    bool codeIsNumber = false;  // the area code was read as a decimal int
    // The file ended before the entry was whole. (An area code that is no
    // number is not this: it ends the load on purpose.)
    bool cutShort() const { return !last.present || !code.present || (codeIsNumber && !phone.present); }
};

class EntryReader {
public:
    // Reads text, which must outlive the reader.
    explicit EntryReader(std::string_view text);
    ~EntryReader();
    EntryReader(const EntryReader&) = delete;
    EntryReader& operator=(const EntryReader&) = delete;

    // Skips whitespace; true when another entry starts here. After a read
    // that failed (an area code that is no number, the end of the file)
    // nothing more is read.
    bool entryFollows();

    // Where the next entry starts, once entryFollows() said there is one.
    TokenRead nextEntryStart();

    // Reads one entry into the four fields. A field whose token is missing
    // becomes the empty text; an area code that is no number leaves code as
    // it was, and the read stops there.
    EntryRead readEntry(apstring& first, apstring& last, int& code, apstring& phone);

private:
    struct Stream;  // the text as an input stream, and how far it was read

    // Skips whitespace and notes where the token that follows starts.
    TokenRead tokenStart();
    // Counts the line ends before offset; tokens are met in file order.
    void countLinesTo(std::size_t offset);
    void readWordToken(apstring& word, TokenRead& token);

    std::string_view text_;
    std::unique_ptr<Stream> stream_;
    std::size_t countedTo_ = 0;
    std::size_t lineStart_ = 0;
    int lineEnds_ = 0;
};

#endif  // DATAFILE_ENTRY_READER_H
