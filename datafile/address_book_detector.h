// Telling an address book given where a data file is read: a vCard file,
// or a CSV file whose first line names its columns.
#ifndef DATAFILE_ADDRESS_BOOK_DETECTOR_H
#define DATAFILE_ADDRESS_BOOK_DETECTOR_H

#include <cstddef>
#include <optional>
#include <string>
#include <string_view>

enum class AddressBook { Vcard, Csv };

// The separator of a CSV line: the one of comma, semicolon and tab it holds
// most of outside quotes (a comma before a semicolon before a tab where
// they tie), or 0 when it holds none.
char csvSeparatorOf(std::string_view line);

// Shown a file's bytes in order from its start, a piece at a time; judges
// its first line, after a UTF-8 byte-order mark. A vCard file starts with
// a line BEGIN:VCARD, in any letter case. A CSV file's first line has
// commas, semicolons or tabs between fields, two or more of which name
// columns of contacts: a name (first, last, surname, "... Name"), a phone
// (tel, mobile, cell, fax, pager, area code, "... Phone", "Phone ...",
// "... Number"), and whose third word is no number, as an entry's area
// code would be.
class AddressBookDetector {
public:
    void passed(std::string_view bytes);

    // What the file is, from its first line as far as it was shown, or
    // nothing for a file that may be a data file. In a UTF-16 file the
    // line's ASCII characters are taken without their NUL bytes.
    std::optional<AddressBook> kind(bool utf16) const;

private:
    std::string line_;  // the first line so far, at most kLineLimit bytes
    bool ended_ = false;
};

#endif  // DATAFILE_ADDRESS_BOOK_DETECTOR_H
