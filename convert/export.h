// The directory's entries in the formats address books read: vCard 4.0
// and CSV.
#ifndef CONVERT_EXPORT_H
#define CONVERT_EXPORT_H

#include <iosfwd>
#include <string>
#include <vector>

#include "contact.h"

// The entries of the data file on source, exactly those teledir loads, in
// file order. Reports what it does not load on messages: a 17th entry and
// those after it, the rest of a file whose load stopped (an area code that
// is not a number, a field too long); an entry cut short is exported as it
// loads, with a warning. A read error leaves failure set ("cannot read: ...").
std::vector<Entry> loadEntries(std::istream& source, Messages& messages, std::string& failure);

// vCard 4.0, one card an entry: N, FN and TEL, CR LF line ends, lines
// folded at 75 bytes.
std::string vcardText(const std::vector<Entry>& entries);

// CSV (RFC 4180): the header "First Name,Last Name,Area Code,Number", then
// a row an entry, CR LF line ends.
std::string csvText(const std::vector<Entry>& entries);

#endif  // CONVERT_EXPORT_H
