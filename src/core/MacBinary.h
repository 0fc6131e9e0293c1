#pragma once

#include <cstddef>

namespace sveltor {

// Length of a MacBinary header, and so the bytes the Convert operation strips.
inline constexpr std::size_t MacBinHeaderLength = 128;
// The header kind that also asks for a Standard MIDI File right behind the header.
inline constexpr int MacBinKindMidi = 1;

// True when data begins with a MacBinary header of the given kind: byte 0 is 0x00 and,
// in MIDI mode, bytes 128 to 131 are "MThd".
bool HasMacBinHeader(const unsigned char* data, std::size_t length, int kind) noexcept;

} // namespace sveltor
