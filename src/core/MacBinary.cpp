#include "MacBinary.h"

#include <cstring>

namespace sveltor {

bool HasMacBinHeader(const unsigned char* data, std::size_t length, int kind) noexcept {
    if (data == nullptr || length < 1 || data[0] != 0x00)
        return false;
    if (kind != MacBinKindMidi)
        return true;
    return length >= MacBinHeaderLength + 4 &&
           std::memcmp(data + MacBinHeaderLength, "MThd", 4) == 0;
}

} // namespace sveltor
