// The one test that plays through a real audio driver: a PulseAudio server of its own
// with a null sink, recorded from the sink's monitor.
#include "Sequencer.h"

#include "MidiFixtures.h"
#include "PulseServer.h"

#include <gtest/gtest.h>

#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <cstdint>
#include <cstdlib>
#include <thread>

namespace sveltor {
namespace {

TEST(AudioOutput, SongPlaysThroughPulseAudioAndIsHeard) {
    test::TPulseServer server;
    test::TTempDir dir;
    const std::string song = dir / "SONG.MID";
    test::WriteBytes(song, test::MakeSong({.Quarters = 4}));
    const std::string recording = dir / "nullsink.raw";

    {
        test::TBackgroundProcess recorder("/usr/bin/parecord",
                                          {"--raw", "--device=nullsink.monitor", "--format=s16le",
                                           "--channels=2", "--rate=44100"},
                                          recording);
        TFluidSequencer seq{TSequencerOptions{.Drivers = {"pulseaudio"}}};
        EXPECT_EQ(seq.DriverName(), "pulseaudio");
        seq.Open(song);
        ASSERT_TRUE(seq.Play());
        const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(20);
        while (seq.Mode() == TSequencerMode::Playing && std::chrono::steady_clock::now() < deadline)
            std::this_thread::sleep_for(std::chrono::milliseconds(50));
        EXPECT_EQ(seq.Mode(), TSequencerMode::Stopped) << "the song reached its end";
        recorder.Stop();
    }

    const test::TBytes raw = test::ReadBytes(recording);
    ASSERT_GT(raw.size(), 44100u * 4) << "at least a second was recorded";
    int peak = 0;
    for (std::size_t i = 0; i + 1 < raw.size(); i += 2) {
        const auto sample = static_cast<std::int16_t>(raw[i] | raw[i + 1] << 8);
        peak = std::max(peak, std::abs(int(sample)));
    }
    // The default gain peaks near -30 dBFS; silence is 0.
    EXPECT_GT(peak, 32768 / 200) << "peak " << peak;
}

} // namespace
} // namespace sveltor
