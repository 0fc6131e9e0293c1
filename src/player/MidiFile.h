#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

namespace sveltor {

// What a well-formed Standard MIDI File holds, as far as a preview needs it.
struct TSmfInfo {
    int Format = 0;
    int Tracks = 0;
    int Division = 0;          // ticks per quarter note, or negative SMPTE frames
    std::uint32_t EndTick = 0; // the latest end of track
    double LengthMs = 0;       // the song's length by its tempo map

    struct TTempo {
        std::uint32_t Tick;
        std::uint32_t MicrosecondsPerQuarter;
    };
    std::vector<TTempo> TempoMap; // sorted by tick, starting at tick 0

    // Milliseconds from the start of the song to the tick, by the tempo map.
    double TickToMs(std::uint32_t tick) const noexcept;
};

// Parses a Standard MIDI File: the header chunk, every track chunk with its events,
// variable-length quantities, running status and end of track. Bytes after the last
// track (padding, a resource fork) are allowed. Returns an empty text and fills info on
// success; otherwise returns why the file is refused.
std::string ValidateSmf(const unsigned char* data, std::size_t size, TSmfInfo& info);

} // namespace sveltor
