#include "apvector.h"

#include <cstdlib>
#include <iostream>

void writeIllegalIndex(std::ostream& os, int index, int size) {
    os << "Illegal vector index: " << index << " max index = " << size - 1 << std::endl;
}

void apvector_detail::illegalIndex(int index, int size) {
    writeIllegalIndex(std::cerr, index, size);
    std::exit(1);
}
