#pragma once

#include "TestFiles.h"

namespace sveltor::test {

// Standard MIDI Files made to measure, at 480 ticks a quarter.
struct TSongPlan {
    int Format = 1;
    int Quarters = 4;                         // notes of a quarter each, one after another
    unsigned MicrosecondsPerQuarter = 500000; // 120 beats a minute
    std::size_t Padding = 0;                  // bytes after the last track
};
TBytes MakeSong(const TSongPlan& plan = {});

// The song behind a 128-byte MacBinary header.
TBytes Wrap(const TBytes& song);

} // namespace sveltor::test
