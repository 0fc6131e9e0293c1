#include "MidiFile.h"

#include "MacBinary.h"

#include <algorithm>
#include <cstring>

namespace sveltor {
namespace {

constexpr std::uint32_t DefaultTempo = 500000; // 120 beats a minute

// A forward reader over one chunk that never reads past its end.
class TReader {
public:
    TReader(const unsigned char* data, std::size_t size) noexcept : FData(data), FSize(size) {}
    bool AtEnd() const noexcept { return FPos >= FSize; }
    std::size_t Left() const noexcept { return FSize - FPos; }
    bool Byte(unsigned char& out) noexcept {
        if (AtEnd())
            return false;
        out = FData[FPos++];
        return true;
    }
    bool Skip(std::size_t n) noexcept {
        if (n > Left())
            return false;
        FPos += n;
        return true;
    }
    const unsigned char* Here() const noexcept { return FData + FPos; }
    // A variable-length quantity: at most four bytes, seven bits each.
    bool Vlq(std::uint32_t& out) noexcept {
        out = 0;
        for (int i = 0; i < 4; ++i) {
            unsigned char b;
            if (!Byte(b))
                return false;
            out = (out << 7) | (b & 0x7F);
            if ((b & 0x80) == 0)
                return true;
        }
        return false;
    }

private:
    const unsigned char* FData;
    std::size_t FSize;
    std::size_t FPos = 0;
};

std::uint32_t Be32(const unsigned char* p) noexcept {
    return std::uint32_t(p[0]) << 24 | std::uint32_t(p[1]) << 16 | std::uint32_t(p[2]) << 8 | p[3];
}
unsigned Be16(const unsigned char* p) noexcept {
    return unsigned(p[0]) << 8 | p[1];
}

// Checks one track's events; returns an empty text or why the track is corrupt.
std::string ParseTrack(TReader track, int number, TSmfInfo& info) {
    const std::string where = "track " + std::to_string(number);
    std::uint32_t tick = 0;
    unsigned char running = 0;
    while (!track.AtEnd()) {
        std::uint32_t delta;
        if (!track.Vlq(delta))
            return "a bad delta time in " + where;
        if (std::uint64_t(tick) + delta > UINT32_MAX)
            return where + " is too long";
        tick += delta;
        unsigned char status;
        if (!track.Byte(status))
            return where + " ends inside an event";
        // Under running status the byte read is already the first data byte.
        int dataRead = 0;
        if (status < 0x80) {
            if (running == 0)
                return "a data byte without status in " + where;
            status = running;
            dataRead = 1;
        }
        if (status < 0xF0) {
            running = status;
            const int count = ((status & 0xE0) == 0xC0 ? 1 : 2) - dataRead;
            for (int i = 0; i < count; ++i) {
                unsigned char d;
                if (!track.Byte(d) || d >= 0x80)
                    return "a bad channel message in " + where;
            }
            continue;
        }
        running = 0; // system messages cancel running status
        if (status == 0xF0 || status == 0xF7) {
            std::uint32_t length;
            if (!track.Vlq(length) || !track.Skip(length))
                return "a bad system exclusive message in " + where;
            continue;
        }
        if (status != 0xFF)
            return "an event that has no place in a file in " + where;
        unsigned char type;
        std::uint32_t length;
        if (!track.Byte(type) || !track.Vlq(length) || length > track.Left())
            return "a bad meta event in " + where;
        if (type == 0x51 && length == 3) {
            const unsigned char* p = track.Here();
            info.TempoMap.push_back(
                {tick, std::uint32_t(p[0]) << 16 | std::uint32_t(p[1]) << 8 | p[2]});
        }
        track.Skip(length);
        if (type == 0x2F) {
            info.EndTick = std::max(info.EndTick, tick);
            return {};
        }
    }
    return where + " has no end";
}

} // namespace

double TSmfInfo::TickToMs(std::uint32_t tick) const noexcept {
    if (Division < 0) {
        // SMPTE time: frames a second times ticks a frame.
        const int fps = -(Division >> 8);
        const int perFrame = Division & 0xFF;
        return fps <= 0 || perFrame <= 0 ? 0 : tick * 1000.0 / (fps * perFrame);
    }
    if (Division == 0)
        return 0;
    double us = 0;
    std::uint32_t at = 0;
    std::uint32_t tempo = DefaultTempo;
    for (const TTempo& t : TempoMap) {
        if (t.Tick >= tick)
            break;
        us += double(t.Tick - at) * tempo / Division;
        at = t.Tick;
        tempo = t.MicrosecondsPerQuarter;
    }
    us += double(tick - at) * tempo / Division;
    return us / 1000.0;
}

std::string ValidateSmf(const unsigned char* data, std::size_t size, TSmfInfo& info) {
    info = TSmfInfo{};
    if (size == 0)
        return "the file is empty";
    if (HasMacBinHeader(data, size, MacBinKindMidi))
        return "the file still carries a MacBinary header";
    if (size < 8 || std::memcmp(data, "MThd", 4) != 0)
        return "not a Standard MIDI File";
    const std::uint32_t headerLength = Be32(data + 4);
    if (headerLength < 6)
        return "a bad header chunk";
    if (headerLength > size - 8)
        return "the file is truncated in its header";
    info.Format = int(Be16(data + 8));
    info.Tracks = int(Be16(data + 10));
    const unsigned division = Be16(data + 12);
    info.Division = (division & 0x8000) != 0 ? int(division) - 0x10000 : int(division);
    if (info.Format > 2)
        return "an unknown format " + std::to_string(info.Format);
    if (info.Tracks == 0)
        return "the file has no tracks";
    if (info.Format == 0 && info.Tracks != 1)
        return "a format 0 file with more than one track";
    if (info.Division == 0)
        return "a bad time division";

    std::size_t pos = 8 + headerLength;
    int found = 0;
    while (found < info.Tracks) {
        if (size - pos < 8)
            return "the file is truncated after track " + std::to_string(found);
        const std::uint32_t length = Be32(data + pos + 4);
        if (length > size - pos - 8)
            return "the file is truncated in track " + std::to_string(found + 1);
        const bool isTrack = std::memcmp(data + pos, "MTrk", 4) == 0;
        if (isTrack) {
            ++found;
            if (std::string why = ParseTrack(TReader(data + pos + 8, length), found, info);
                !why.empty())
                return why;
        }
        // Chunks of other types are skipped, as readers must.
        pos += 8 + std::size_t(length);
    }
    std::stable_sort(
        info.TempoMap.begin(), info.TempoMap.end(),
        [](const TSmfInfo::TTempo& a, const TSmfInfo::TTempo& b) { return a.Tick < b.Tick; });
    info.LengthMs = info.TickToMs(info.EndTick);
    return {};
}

} // namespace sveltor
