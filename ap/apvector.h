// apvector: a vector with a fixed number of elements whose element access
// checks the index and ends the program on a bad one.
#ifndef AP_APVECTOR_H
#define AP_APVECTOR_H

#include <iosfwd>
#include <utility>

// Writes the line that reports a bad index of a vector of size elements,
// "Illegal vector index: 16 max index = 15", and flushes it.
void writeIllegalIndex(std::ostream& os, int index, int size);

namespace apvector_detail {
// Reports a bad index the way the directory program's users know it and
// ends the program with status 1. Out of line, so that the header stays
// free of the stream library.
[[noreturn]] void illegalIndex(int index, int size);
}  // namespace apvector_detail

template <class itemType>
class apvector {
public:
    apvector() : mySize(0), myList(nullptr) {}

    // size elements, each value-initialised: empty strings, zero ints.
    explicit apvector(int size) : mySize(size), myList(new itemType[size]()) {}

    apvector(int size, const itemType& fillValue) : apvector(size) {
        for (int k = 0; k < mySize; ++k) myList[k] = fillValue;
    }

    apvector(const apvector& vec) : apvector(vec.mySize) {
        for (int k = 0; k < mySize; ++k) myList[k] = vec.myList[k];
    }

    ~apvector() { delete[] myList; }

    // Copy-and-swap: the target stays unchanged if copying an element throws.
    const apvector& operator=(const apvector& vec) {
        if (this == &vec) return *this;
        apvector copy(vec);
        std::swap(mySize, copy.mySize);
        std::swap(myList, copy.myList);
        return *this;
    }

    int length() const { return mySize; }

    itemType& operator[](int index) {
        checkIndex(index);
        return myList[index];
    }

    const itemType& operator[](int index) const {
        checkIndex(index);
        return myList[index];
    }

    // Keeps the elements that fit; new ones are value-initialised.
    void resize(int newSize) {
        apvector resized(newSize);
        int kept = newSize < mySize ? newSize : mySize;
        for (int k = 0; k < kept; ++k) resized.myList[k] = myList[k];
        std::swap(mySize, resized.mySize);
        std::swap(myList, resized.myList);
    }

private:
    void checkIndex(int index) const {
        if (index < 0 || index >= mySize) apvector_detail::illegalIndex(index, mySize);
    }

    // Invariant: myList owns exactly mySize elements (none when null);
    // mySize never changes except through assignment or resize.
    int mySize;
    itemType* myList;
};

#endif  // AP_APVECTOR_H
