// Reading the contacts of a CSV file (RFC 4180, with a header row), as
// address books and spreadsheets export them.
#ifndef CONVERT_CSV_IMPORT_H
#define CONVERT_CSV_IMPORT_H

#include <string>
#include <string_view>
#include <vector>

#include "contact.h"

// One record of a CSV file and the line it starts on.
struct CsvRecord {
    int line;
    std::vector<std::string> fields;
};

// The records of text: fields separated by commas, records by CR LF or LF
// (or a lone CR); a field in double quotes may hold commas, line ends and
// doubled quotes. A UTF-8 byte-order mark is skipped, blank lines too.
std::vector<CsvRecord> readCsvRecords(std::string_view text);

// The contacts of the rows after the header, with the columns found by
// their names in the header (see kColumns in csv_import.cpp).
std::vector<Contact> readCsvContacts(std::string_view text);

#endif  // CONVERT_CSV_IMPORT_H
