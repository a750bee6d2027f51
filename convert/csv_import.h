// Reading the contacts of a CSV file, as address books and spreadsheets
// export them: a header row naming the columns, then a row a contact.
#ifndef CONVERT_CSV_IMPORT_H
#define CONVERT_CSV_IMPORT_H

#include "contact.h"
#include "text_source.h"

struct CsvRead {
    bool columnsFound = false;  // the first row told where names or numbers are
    long long rows = 0;         // rows of contacts read
    // When no column was found: the first few columns of the first row, by
    // name: "\"E-mail\", \"Company\" and 3 more".
    std::string unplaced;
};

// Reads the rows of source one at a time and hands each contact to take.
// Fields are separated by the comma, semicolon or tab the header row holds
// most of; a field in double quotes may hold separators, line ends and
// doubled quotes. Columns are found by their names in the header row, case,
// blanks, accents and punctuation aside (see csv_columns.h). A first row
// that names no column but reads as a contact is taken as one, its columns
// guessed from where a number stands, and reporter hears of it; it hears
// too of a quote never closed, after which the lines that follow it are
// read again as rows, of a row that repeats the header row (not read as a
// contact), and at the end of the values of columns not read in the
// contacts written.
CsvRead readCsvContacts(TextSource& source, const TakeContact& take, Reporter& reporter);

#endif  // CONVERT_CSV_IMPORT_H
