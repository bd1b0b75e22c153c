// Collection headers that lie, each made from a good collection of two
// faces: for the tests of opening a collection and of installing one.
#ifndef KELMOR_TESTS_HOSTILE_COLLECTIONS_H
#define KELMOR_TESTS_HOSTILE_COLLECTIONS_H

#include <string>
#include <vector>

#include "font_builder.h"

namespace kelmor_test {

struct HostileCollection {
    std::string what;
    Bytes bytes;
    bool firstFaceLies;  // else only what comes after the first face does
};

std::vector<HostileCollection> HostileCollectionHeaders(const Bytes &twoFaces);

}  // namespace kelmor_test

#endif
