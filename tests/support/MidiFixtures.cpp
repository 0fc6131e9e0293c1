#include "MidiFixtures.h"

namespace sveltor::test {
namespace {

void Be32(TBytes& out, std::uint32_t v) {
    for (int shift = 24; shift >= 0; shift -= 8)
        out.push_back(static_cast<unsigned char>(v >> shift));
}

void Chunk(TBytes& out, const char* tag, const TBytes& body) {
    out.insert(out.end(), tag, tag + 4);
    Be32(out, static_cast<std::uint32_t>(body.size()));
    out.insert(out.end(), body.begin(), body.end());
}

void Vlq(TBytes& out, std::uint32_t v) {
    unsigned char bytes[4];
    int n = 0;
    do {
        bytes[n++] = static_cast<unsigned char>(v & 0x7F);
        v >>= 7;
    } while (v != 0);
    while (n-- > 0)
        out.push_back(static_cast<unsigned char>(bytes[n] | (n > 0 ? 0x80 : 0)));
}

} // namespace

TBytes MakeSong(const TSongPlan& plan) {
    const unsigned tempo = plan.MicrosecondsPerQuarter;
    TBytes tempoTrack = {0x00,
                         0xFF,
                         0x51,
                         0x03,
                         static_cast<unsigned char>(tempo >> 16),
                         static_cast<unsigned char>(tempo >> 8),
                         static_cast<unsigned char>(tempo)};
    TBytes notes = {0x00, 0xC0, 0x00}; // piano
    for (int i = 0; i < plan.Quarters; ++i) {
        const unsigned char key = static_cast<unsigned char>(60 + i % 12);
        notes.insert(notes.end(), {0x00, 0x90, key, 100});
        Vlq(notes, 480);
        notes.insert(notes.end(), {key, 0}); // running status, velocity 0 is note off
    }
    const TBytes end = {0x00, 0xFF, 0x2F, 0x00};

    TBytes song;
    const int tracks = plan.Format == 0 ? 1 : 2;
    Chunk(song, "MThd",
          {0, static_cast<unsigned char>(plan.Format), 0, static_cast<unsigned char>(tracks), 0x01,
           0xE0});
    if (plan.Format == 0) {
        TBytes one = tempoTrack;
        one.insert(one.end(), notes.begin(), notes.end());
        one.insert(one.end(), end.begin(), end.end());
        Chunk(song, "MTrk", one);
    } else {
        tempoTrack.insert(tempoTrack.end(), end.begin(), end.end());
        notes.insert(notes.end(), end.begin(), end.end());
        Chunk(song, "MTrk", tempoTrack);
        Chunk(song, "MTrk", notes);
    }
    for (std::size_t i = 0; i < plan.Padding; ++i)
        song.push_back(static_cast<unsigned char>(i));
    return song;
}

TBytes Wrap(const TBytes& song) {
    TBytes wrapped = WrappedMidi();
    wrapped.resize(128);
    wrapped.insert(wrapped.end(), song.begin(), song.end());
    return wrapped;
}

} // namespace sveltor::test
