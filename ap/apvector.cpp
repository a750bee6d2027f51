#include "apvector.h"

#include <cstdlib>
#include <iostream>

void apvector_detail::illegalIndex(int index, int size) {
    std::cerr << "Illegal vector index: " << index << " max index = " << size - 1 << std::endl;
    std::exit(1);
}
