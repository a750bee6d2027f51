#ifndef DIRECTORY_SORT_H
#define DIRECTORY_SORT_H

// Puts all 16 slots in ascending order of last name, moving whole entries.
// A selection sort that takes the first smallest name of each pass, so it
// is not stable; empty slots (empty last name) end up in front.
void sortData();

#endif  // DIRECTORY_SORT_H
