#include "arguments.h"

Utf8Arguments::Utf8Arguments(int argc, char** argv) : pointers_(argv, argv + argc) {
    pointers_.push_back(nullptr);
}
