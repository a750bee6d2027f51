// Reading the contacts of a vCard file, as phones and address books write
// them: versions 2.1, 3.0 and 4.0.
#ifndef CONVERT_VCARD_IMPORT_H
#define CONVERT_VCARD_IMPORT_H

#include <string_view>
#include <vector>

#include "contact.h"

// The contacts between each BEGIN:VCARD and END:VCARD, in file order, with
// their names (N, else FN) and every TEL. Lines are unfolded (a line end
// followed by a blank or tab), a UTF-8 byte-order mark is skipped, property
// groups ("item1.TEL") and backslash escapes are understood, and in 2.1
// quoted-printable values and CHARSET (UTF-8 kept, ISO-8859-1 and
// Windows-1252 made UTF-8, any other kept as bytes with a note).
std::vector<Contact> readVCards(std::string_view text);

#endif  // CONVERT_VCARD_IMPORT_H
