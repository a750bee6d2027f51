#include "table.h"

// Constructed in this order before main and destroyed in reverse after it.
apvector<apstring> firstName(kSlotCount);
apvector<apstring> lastName(kSlotCount);
apvector<int> areaCode(kSlotCount);
apvector<apstring> number(kSlotCount);
