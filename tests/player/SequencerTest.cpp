// The FluidSynth sequencer with no audio driver: the test renders the audio itself, so
// the same synth runs deterministically and faster than real time.
#include "Sequencer.h"

#include "MidiFixtures.h"

#include "CaseTitle.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>

namespace sveltor {
namespace {

using test::TBytes;
using test::TTempDir;

constexpr double Rate = 44100;
constexpr std::size_t Block = 441; // 10 ms
// Notes stop at once; what is left is the reverb's fading tail, below -50 dBFS.
constexpr float Quiet = 0.003f;

class SequencerPlay : public testing::Test {
protected:
    TTempDir Dir;
    std::string Song = Dir / "SONG.MID";
    TFluidSequencer Seq{TSequencerOptions{.Drivers = {}}};
    int Ends = 0;

    void SetUp() override {
        test::WriteBytes(Song, test::MakeSong({.Quarters = 4}));
        Seq.SetEndHandler([this] { ++Ends; });
    }

    // Renders ms of audio and returns its peak level.
    float RenderMs(double ms) {
        float peak = 0;
        std::vector<float> left(Block), right(Block);
        for (double done = 0; done < ms; done += 10) {
            EXPECT_TRUE(Seq.Render(left.data(), right.data(), Block));
            for (std::size_t i = 0; i < Block; ++i)
                peak = std::max({peak, std::fabs(left[i]), std::fabs(right[i])});
        }
        return peak;
    }
};

TEST_F(SequencerPlay, CleanSongSoundsForAboutItsLengthAndEndsOnce) {
    Seq.Open(Song);
    ASSERT_TRUE(Seq.CanPlay());
    EXPECT_NEAR(Seq.LengthMs(), 2000, 1);
    ASSERT_TRUE(Seq.Play());

    double rendered = 0;
    float peak = 0;
    while (Ends == 0 && rendered < 10000) {
        peak = std::max(peak, RenderMs(10));
        rendered += 10;
    }
    EXPECT_EQ(Ends, 1);
    EXPECT_GT(peak, 5 * Quiet) << "not silent: the default gain peaks near -30 dBFS";
    EXPECT_GE(rendered, 2000);
    EXPECT_LE(rendered, 2000 + 4000) << "the end shows after a release tail of about 2 s";
    EXPECT_EQ(Seq.Mode(), TSequencerMode::Stopped);
    EXPECT_EQ(Seq.PositionMs(), Seq.LengthMs()) << "clamped to the length";

    RenderMs(500);
    EXPECT_EQ(Ends, 1) << "one notice per end";
    ASSERT_TRUE(Seq.Play()) << "play at the end starts again";
    RenderMs(300);
    EXPECT_LT(Seq.PositionMs(), 500);
    EXPECT_GT(Seq.PositionMs(), 100);
}

TEST_F(SequencerPlay, PauseHoldsThePositionAndResumeGoesOnFromIt) {
    Seq.Open(Song);
    ASSERT_TRUE(Seq.Play());
    RenderMs(700);
    ASSERT_TRUE(Seq.Pause());
    const double held = Seq.PositionMs();
    EXPECT_NEAR(held, 700, 50);
    RenderMs(50);
    EXPECT_LT(RenderMs(500), Quiet) << "silent while paused";
    EXPECT_EQ(Seq.PositionMs(), held);
    EXPECT_EQ(Seq.Mode(), TSequencerMode::Paused);

    ASSERT_TRUE(Seq.Resume());
    RenderMs(300);
    EXPECT_NEAR(Seq.PositionMs(), held + 300, 50);
}

TEST_F(SequencerPlay, RewindStopsAtTheStart) {
    Seq.Open(Song);
    ASSERT_TRUE(Seq.Play());
    RenderMs(800);
    ASSERT_TRUE(Seq.Rewind());
    EXPECT_EQ(Seq.Mode(), TSequencerMode::Stopped);
    EXPECT_EQ(Seq.PositionMs(), 0);
    RenderMs(20);
    EXPECT_LT(RenderMs(300), Quiet);
    ASSERT_TRUE(Seq.Play());
    RenderMs(200);
    EXPECT_NEAR(Seq.PositionMs(), 200, 50);
}

TEST_F(SequencerPlay, OpeningAnotherFileStopsTheSongFirst) {
    Seq.Open(Song);
    ASSERT_TRUE(Seq.Play());
    RenderMs(500);
    const std::string other = Dir / "OTHER.MID";
    test::WriteBytes(other, test::MakeSong({.Quarters = 8}));
    Seq.Open(other);
    EXPECT_EQ(Seq.Mode(), TSequencerMode::Stopped);
    EXPECT_EQ(Seq.PositionMs(), 0);
    EXPECT_NEAR(Seq.LengthMs(), 4000, 1);
    RenderMs(20);
    EXPECT_LT(RenderMs(300), Quiet);
    EXPECT_EQ(Ends, 0);
}

TEST_F(SequencerPlay, RefusedCommandsChangeNothing) {
    Seq.Open("");
    EXPECT_EQ(Seq.Mode(), TSequencerMode::Stopped) << "the device is open with no file";
    EXPECT_FALSE(Seq.CanPlay());
    EXPECT_FALSE(Seq.Play());
    EXPECT_FALSE(Seq.Pause());
    EXPECT_FALSE(Seq.Resume());

    Seq.Open(Song);
    EXPECT_FALSE(Seq.Pause()) << "nothing plays";
    EXPECT_FALSE(Seq.Resume()) << "nothing is paused";
    ASSERT_TRUE(Seq.Play());
    EXPECT_FALSE(Seq.Play()) << "already playing";
    EXPECT_FALSE(Seq.Resume());
    EXPECT_EQ(Seq.Mode(), TSequencerMode::Playing);
}

struct TRefusalCase {
    const char* Title;
    TBytes Data; // empty with Missing: no file at all
    bool Missing;
    const char* Says;
};

class SequencerOpen : public testing::TestWithParam<TRefusalCase> {};

TEST_P(SequencerOpen, RefusesWhatItCannotPlayAndIsLeftClosed) {
    const TRefusalCase& c = GetParam();
    TTempDir dir;
    TFluidSequencer seq{TSequencerOptions{.Drivers = {}}};
    const std::string good = dir / "GOOD.MID";
    test::WriteBytes(good, test::MakeSong());
    seq.Open(good);
    ASSERT_TRUE(seq.Play());

    const std::string path = dir / "FILE.MID";
    if (!c.Missing)
        test::WriteBytes(path, c.Data);
    try {
        seq.Open(path);
        FAIL() << "opened";
    } catch (const EMCIDeviceError& e) {
        EXPECT_NE(e.Message().find(c.Says), std::string::npos) << e.Message();
        EXPECT_NE(e.Message().find(path), std::string::npos) << e.Message();
    }
    EXPECT_EQ(seq.Mode(), TSequencerMode::NotOpen) << "the song before was closed";
    EXPECT_FALSE(seq.CanPlay());
}

INSTANTIATE_TEST_SUITE_P(
    Cases, SequencerOpen,
    testing::Values(TRefusalCase{"Wrapped", test::Wrap(test::MakeSong()), false,
                                 "MacBinary header"},
                    TRefusalCase{"Missing", {}, true, "No such file"},
                    TRefusalCase{"Text", {'h', 'i', '\n'}, false, "not a Standard MIDI File"}),
    test::TCaseTitle());

TEST(SequencerStartUp, MissingSoundFontIsNoUsableSequencer) {
    try {
        TFluidSequencer seq{TSequencerOptions{.SoundFont = "/nonexistent/GM.sf2", .Drivers = {}}};
        FAIL() << "created";
    } catch (const EMCIDeviceError& e) {
        EXPECT_NE(e.Message().find("/nonexistent/GM.sf2"), std::string::npos) << e.Message();
    }
}

TEST(SequencerStartUp, NoAudioOutputIsNoUsableSequencer) {
    try {
        TFluidSequencer seq{TSequencerOptions{.Drivers = {"no-such-driver"}}};
        FAIL() << "created";
    } catch (const EMCIDeviceError& e) {
        EXPECT_NE(e.Message().find("No audio output could be opened"), std::string::npos)
            << e.Message();
    }
}

} // namespace
} // namespace sveltor
