// HasMacBinHeader on any bytes, against the rule written out plainly.
#include "MacBinary.h"

#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <initializer_list>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    for (int kind : {0, sveltor::MacBinKindMidi, 2}) {
        const bool expected = size >= 1 && data[0] == 0 &&
                              (kind != sveltor::MacBinKindMidi ||
                               (size >= 132 && std::memcmp(data + 128, "MThd", 4) == 0));
        if (sveltor::HasMacBinHeader(data, size, kind) != expected)
            std::abort();
    }
    return 0;
}
