#include "MidiFile.h"

#include "CaseTitle.h"
#include "MidiFixtures.h"

#include <gtest/gtest.h>

namespace sveltor {
namespace {

using test::TBytes;

TBytes Truncated(TBytes song, std::size_t drop) {
    song.resize(song.size() - drop);
    return song;
}

// The second track's length field (at byte 22 + 8 + the first track's length) set huge.
TBytes BadChunkLength() {
    TBytes song = test::MakeSong({.Format = 0});
    song[18] = song[19] = song[20] = song[21] = 0xFF;
    return song;
}

TBytes ZeroTracks() {
    TBytes song = test::MakeSong({.Format = 1});
    song[10] = song[11] = 0;
    return song;
}

TBytes StatusReplacedBy(std::size_t at, unsigned char byte) {
    TBytes song = test::MakeSong({.Format = 0});
    song[at] = byte;
    return song;
}

TBytes Text(const char* text) {
    return TBytes(text, text + std::char_traits<char>::length(text));
}

struct TSmfCase {
    const char* Title;
    TBytes Data;
    const char* Refusal; // nullptr: accepted
};

const TSmfCase Cases[] = {
    {"CleanFormat0", test::MakeSong({.Format = 0}), nullptr},
    {"CleanFormat1", test::MakeSong({.Format = 1}), nullptr},
    {"PaddingAndResourceForkAfterTheLastTrackAreAccepted", test::MakeSong({.Padding = 700}),
     nullptr},
    {"MacBinaryHeaderIsRefused", test::Wrap(test::MakeSong()), "still carries a MacBinary header"},
    {"TruncatedMidTrack", Truncated(test::MakeSong({.Format = 0}), 10), "truncated in track 1"},
    {"TruncatedBeforeTheSecondTrack", Truncated(test::MakeSong({.Format = 1}), 40), "truncated"},
    {"BadChunkLength", BadChunkLength(), "truncated in track 1"},
    {"ZeroTracks", ZeroTracks(), "no tracks"},
    {"EmptyFile", {}, "empty"},
    {"TextFile", Text("MIDI files are fun\n"), "not a Standard MIDI File"},
    {"HeaderOnly", Text("MThd"), "not a Standard MIDI File"},
    {"DataByteWithoutStatus", StatusReplacedBy(30, 0x40), "data byte without status"},
    {"SystemRealTimeInATrack", StatusReplacedBy(30, 0xF8), "no place in a file"},
};

class SmfValidation : public testing::TestWithParam<TSmfCase> {};

TEST_P(SmfValidation, AcceptsWellFormedFilesAndSaysWhyOthersAreRefused) {
    const TSmfCase& c = GetParam();
    TSmfInfo info;
    const std::string why = ValidateSmf(c.Data.data(), c.Data.size(), info);
    if (c.Refusal == nullptr) {
        EXPECT_EQ(why, "");
        EXPECT_NEAR(info.LengthMs, 2000, 1) << "four quarters at 120 beats a minute";
    } else {
        EXPECT_NE(why.find(c.Refusal), std::string::npos) << why;
    }
}

INSTANTIATE_TEST_SUITE_P(Cases, SmfValidation, testing::ValuesIn(Cases), test::TCaseTitle());

TEST(SmfTempoMap, LengthFollowsTempoChanges) {
    TSmfInfo info;
    const TBytes slow = test::MakeSong({.Quarters = 6, .MicrosecondsPerQuarter = 1000000});
    ASSERT_EQ(ValidateSmf(slow.data(), slow.size(), info), "");
    EXPECT_NEAR(info.LengthMs, 6000, 1);
    EXPECT_EQ(info.EndTick, 6u * 480);
    EXPECT_NEAR(info.TickToMs(480), 1000, 1);

    info.TempoMap = {{0, 500000}, {960, 250000}};
    EXPECT_NEAR(info.TickToMs(960), 1000, 1);
    EXPECT_NEAR(info.TickToMs(1440), 1250, 1) << "the second tempo halves a quarter";
}

} // namespace
} // namespace sveltor
