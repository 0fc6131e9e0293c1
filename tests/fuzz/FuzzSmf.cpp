// The Standard MIDI File validator on any bytes: it answers, and an accepted song has a
// sane length.
#include "MidiFile.h"

#include <cmath>
#include <cstdint>
#include <cstdlib>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    sveltor::TSmfInfo info;
    const std::string why = sveltor::ValidateSmf(data, size, info);
    if (why.empty()) {
        if (!(info.LengthMs >= 0) || !std::isfinite(info.LengthMs) || info.Tracks < 1)
            std::abort();
        if (info.TickToMs(info.EndTick / 2) > info.LengthMs + 1e-6)
            std::abort();
    }
    return 0;
}
