// Reading the contacts of a vCard file, as phones and address books write
// them: versions 2.1, 3.0 and 4.0, one card at a time.
#ifndef CONVERT_VCARD_IMPORT_H
#define CONVERT_VCARD_IMPORT_H

#include <functional>
#include <string>
#include <vector>

#include "contact.h"
#include "text_source.h"

// Reads the cards of source in file order and hands each contact to take
// when its card ends: its names (N, else FN) and the number to write of its
// TELs. Lines are unfolded (a line end followed by a blank or tab), property
// groups ("item1.TEL") and backslash escapes are understood, and
// quoted-printable and base64 values are decoded, from the character set
// CHARSET names. Properties the directory has no use for are skipped
// without being kept, however long.
//
// A card without END ends where the next BEGIN:VCARD starts; a card inside
// a card (a 2.1 AGENT) is a contact of its own, to four cards deep, handed
// on when the outermost card ends with its END (none of them when it has
// none: which number is whose cannot be told); a card the file ends in is
// read as far as it goes. reporter hears of each, and at the end of what
// the cards written held that an entry has no room for (kNotKept in
// vcard_import.cpp). Returns how many cards the file holds.
//
// Where several files are read as one (a folder's), taken keeps the cards
// taken across them, file being this one's index; then reporter hears
// nothing of what they held, and notKeptOfVCards tells it once the last
// file is read: a card taken from an early file may yet be left out for
// favourites in a later one.
struct TakenCard {
    std::size_t file;
    long long line;
    std::vector<long long> notKept;  // of each kind in kNotKept
};
using TakenCards = std::vector<TakenCard>;
long long readVCards(TextSource& source, const TakeContact& take, Reporter& reporter,
                     TakenCards* taken = nullptr, std::size_t file = 0);

// What the cards of taken that are written held that an entry has no room
// for, as Reporter::notKept hears it: "6 e-mail addresses, 1 photo".
std::string notKeptOfVCards(const TakenCards& taken, const std::function<bool(const TakenCard&)>& written);

#endif  // CONVERT_VCARD_IMPORT_H
