// The directory's entries in the formats address books read: vCard 4.0
// and CSV.
#ifndef CONVERT_EXPORT_H
#define CONVERT_EXPORT_H

#include <functional>
#include <iosfwd>
#include <optional>
#include <string>
#include <vector>

#include "contact.h"
#include "load_problems.h"
#include "output_file.h"

// The entries of the data file on source, exactly those teledir loads, in
// file order. Reports on messages, in the words teledir and telelist-check
// use, what ended the load: a UTF-16 file, a 17th entry, an area code that
// is not a number or a field too long (each an error, as what follows is
// not exported), or an entry cut short (a warning: it is exported as it
// loads). A read error leaves failure set ("cannot read: ...").
std::vector<Entry> loadEntries(std::istream& source, Messages& messages, std::string& failure);

// The same entries, and the problem that ended the load, if one did.
struct LoadedEntries {
    std::vector<Entry> entries;
    std::optional<LoadProblem> problem;
    std::string failure;  // "cannot read: ..."
};
LoadedEntries loadDataFile(std::istream& source);

// vCard 4.0, one card an entry, a card at a time to sink: UID, N, FN and
// TEL, CR LF line ends, lines folded at 75 bytes. The text is UTF-8: bytes
// of a field that are not are read as Windows-1252, and control characters
// are dropped. The UID (without which khard shows no card) is made from the
// card's fields and how many cards before it have the same, so that it is
// the same on every export of the same file.
void writeVCards(const std::vector<Entry>& entries, const PieceSink& sink);

// The same cards one at a time, each with its entry, its UID (the UUID,
// without "urn:uuid:") and what writes the card to a sink, until take
// returns false.
using TakeCard = std::function<bool(const Entry&, const std::string& uid, const Pieces& card)>;
void eachVCard(const std::vector<Entry>& entries, const TakeCard& take);

// A warning on messages for each entry whose card differs from what the
// data file holds.
void checkVCards(const std::vector<Entry>& entries, Messages& messages);

// CSV (RFC 4180): the header "First Name,Last Name,Area Code,Number", then
// a row an entry, CR LF line ends. A text cell that a spreadsheet would
// run as a formula (=, +, -, @, tab or CR first, after any ') starts with
// a ' that keeps it text. A row at a time to sink.
void writeCsv(const std::vector<Entry>& entries, const PieceSink& sink);

#endif  // CONVERT_EXPORT_H
