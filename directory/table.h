// The directory table: four parallel columns of 16 slots each. Slot i of
// the four columns together is one entry; a slot no entry filled holds
// empty texts and area code 0. The table keeps no count of entries, so
// every pass over it covers all 16 slots.
#ifndef DIRECTORY_TABLE_H
#define DIRECTORY_TABLE_H

#include "apstring.h"
#include "apvector.h"

constexpr int kSlotCount = 16;

extern apvector<apstring> firstName;
extern apvector<apstring> lastName;
extern apvector<int> areaCode;
extern apvector<apstring> number;

#endif  // DIRECTORY_TABLE_H
