#include <exception>
#include <iostream>

#include "startup.h"

int main() {
    try {
        return runDirectory();
    } catch (const std::exception& error) {  // GCOVR_EXCL_START: needs gigabytes of input
        // Only a text too long for a string or exhausted memory get here.
        std::cerr << "telephone directory: " << error.what() << std::endl;
        return 1;
    }  // GCOVR_EXCL_STOP
}
