// Reading the contacts of a vCard file, as phones and address books write
// them: versions 2.1, 3.0 and 4.0, one card at a time.
#ifndef CONVERT_VCARD_IMPORT_H
#define CONVERT_VCARD_IMPORT_H

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
long long readVCards(TextSource& source, const TakeContact& take, Reporter& reporter);

#endif  // CONVERT_VCARD_IMPORT_H
