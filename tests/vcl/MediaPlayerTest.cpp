#include "MediaPlayer.h"

#include "CaseTitle.h"
#include "FakeSequencer.h"
#include "MidiFixtures.h"

#include <QApplication>
#include <QTest>

#include <gtest/gtest.h>

#include <thread>

namespace sveltor {
namespace {

using B = TMediaPlayer;
using test::TFakeSequencer;

constexpr B::TButtonSet Play = B::Bit(B::btPlay), Pause = B::Bit(B::btPause),
                        Prev = B::Bit(B::btPrev);

B::TButtonSet Usable(const TMediaPlayer& strip) {
    B::TButtonSet set = 0;
    for (auto b : {B::btPlay, B::btPause, B::btPrev})
        set |= strip.IsUsable(b) ? B::Bit(b) : 0;
    return set;
}

std::string Names(B::TButtonSet set) {
    std::string text;
    for (auto [bit, name] :
         {std::pair{Play, "Play"}, std::pair{Pause, "Pause"}, std::pair{Prev, "Prev"}})
        if ((set & bit) != 0)
            text += (text.empty() ? "" : "+") + std::string(name);
    return text.empty() ? "none" : text;
}

class MediaPlayerStrip : public testing::Test {
protected:
    TFakeSequencer::TScript Script;
    TFakeSequencer* Fake = nullptr;
    TMediaPlayer Strip{nullptr, [this] {
                           auto device = std::make_unique<TFakeSequencer>(Script);
                           Fake = device.get();
                           return device;
                       }};

    void SetUp() override {
        Strip.show();
        Strip.Loaded(); // the start-up device
        Strip.SetEnabled(true);
    }
    void OpenFile(const char* name = "/m/SONG.MID") {
        Strip.SetFileName(name);
        Strip.Open();
    }
    void Click(B::TButton button) {
        QTest::mouseClick(&Strip, Qt::LeftButton, {}, Strip.ButtonRect(button).center());
    }
    void EndOfSong() {
        Fake->End();
        QApplication::processEvents();
    }
};

TEST_F(MediaPlayerStrip, HasTheDesignedShapeAndNeverTakesTheFocus) {
    EXPECT_EQ(Strip.size(), QSize(85, 25));
    EXPECT_EQ(Strip.ButtonRect(B::btPlay), QRect(0, 0, 29, 25));
    EXPECT_EQ(Strip.ButtonRect(B::btPause), QRect(28, 0, 29, 25));
    EXPECT_EQ(Strip.ButtonRect(B::btPrev), QRect(56, 0, 29, 25));
    EXPECT_EQ(Strip.focusPolicy(), Qt::NoFocus);
    Click(B::btPrev);
    EXPECT_FALSE(Strip.hasFocus());
}

TEST_F(MediaPlayerStrip, StartUpDeviceOffersOnlyPrev) {
    EXPECT_EQ(Script.Calls, (std::vector<std::string>{"Close", "Open "}));
    EXPECT_EQ(Names(Usable(Strip)), "Prev");
}

// What the buttons offer after each step of a script of presses and notices.
enum TStep { PressPlay, PressPause, PressPrev, SongEnds, OpenAgain };

struct TRuleCase {
    const char* Title;
    std::vector<TStep> Steps;
    std::vector<B::TButtonSet> After; // one entry per step
    void (*Setup)(TFakeSequencer::TScript&) = nullptr;
};

const TRuleCase RuleCases[] = {
    {"PlaySwapsForPause", {PressPlay}, {Pause | Prev}},
    {"PauseKeepsPauseAndOffersPlay", {PressPlay, PressPause}, {Pause | Prev, Play | Pause | Prev}},
    {"PauseAgainResumes",
     {PressPlay, PressPause, PressPause},
     {Pause | Prev, Play | Pause | Prev, Play | Pause | Prev}},
    {"PrevWhilePlayingStops", {PressPlay, PressPrev}, {Pause | Prev, Play | Prev}},
    {"EndOfSongOffersPlayAgain",
     {PressPlay, SongEnds, PressPlay},
     {Pause | Prev, Play | Prev, Pause | Prev}},
    {"OpenAgainStartsOver", {PressPlay, OpenAgain}, {Pause | Prev, Play | Prev}},
    {"RefusedPlayChangesNothing", {PressPlay}, {Play | Prev}, [](auto& s) { s.RefusePlay = true; }},
    {"RefusedPauseChangesNothing",
     {PressPlay, PressPause},
     {Pause | Prev, Pause | Prev},
     [](auto& s) { s.RefusePause = true; }},
    {"RefusedPrevChangesNothing",
     {PressPlay, PressPrev},
     {Pause | Prev, Pause | Prev},
     [](auto& s) { s.RefuseRewind = true; }},
};

class MediaPlayerRules : public MediaPlayerStrip, public testing::WithParamInterface<TRuleCase> {};

TEST_P(MediaPlayerRules, ButtonsFollowTheDevice) {
    const TRuleCase& c = GetParam();
    if (c.Setup != nullptr)
        c.Setup(Script);
    OpenFile();
    ASSERT_EQ(Names(Usable(Strip)), "Play+Prev") << "after an Open";
    for (std::size_t i = 0; i < c.Steps.size(); ++i) {
        switch (c.Steps[i]) {
        case PressPlay:
            Click(B::btPlay);
            break;
        case PressPause:
            Click(B::btPause);
            break;
        case PressPrev:
            Click(B::btPrev);
            break;
        case SongEnds:
            EndOfSong();
            break;
        case OpenAgain:
            OpenFile("/m/OTHER.MID");
            break;
        }
        EXPECT_EQ(Names(Usable(Strip)), Names(c.After[i])) << "after step " << i;
    }
}

INSTANTIATE_TEST_SUITE_P(Cases, MediaPlayerRules, testing::ValuesIn(RuleCases), test::TCaseTitle());

TEST_F(MediaPlayerStrip, RefusedResumeFallsBackToPlay) {
    Script.RefuseResume = true;
    OpenFile();
    Click(B::btPlay);
    Click(B::btPause);
    Script.Calls.clear();
    Click(B::btPause);
    EXPECT_EQ(Script.Calls, (std::vector<std::string>{"Resume", "Play"}));
    EXPECT_EQ(Fake->Mode(), TSequencerMode::Playing);
}

TEST_F(MediaPlayerStrip, ClicksOnUnusableButtonsAreIgnored) {
    OpenFile();
    Script.Calls.clear();
    Click(B::btPause);
    EXPECT_TRUE(Script.Calls.empty());
    Click(B::btPlay);
    Click(B::btPlay);
    EXPECT_EQ(Script.Calls, std::vector<std::string>{"Play"}) << "Play is not usable while playing";
}

TEST_F(MediaPlayerStrip, DisabledStripIgnoresInputAndLeavesTheSongPlaying) {
    OpenFile();
    Click(B::btPlay);
    Strip.SetEnabled(false);
    Script.Calls.clear();
    Click(B::btPause);
    Click(B::btPrev);
    EXPECT_TRUE(Script.Calls.empty());
    EXPECT_EQ(Fake->Mode(), TSequencerMode::Playing);
}

TEST_F(MediaPlayerStrip, PressReleasedOverAnotherButtonDoesNothing) {
    OpenFile();
    Script.Calls.clear();
    QTest::mousePress(&Strip, Qt::LeftButton, {}, Strip.ButtonRect(B::btPlay).center());
    QTest::mouseMove(&Strip, Strip.ButtonRect(B::btPrev).center());
    QTest::mouseRelease(&Strip, Qt::LeftButton, {}, Strip.ButtonRect(B::btPrev).center());
    EXPECT_TRUE(Script.Calls.empty());
    EXPECT_EQ(Names(Usable(Strip)), "Play+Prev");
}

TEST_F(MediaPlayerStrip, RefusedOpenLeavesNoButtonAndRaises) {
    OpenFile();
    Script.RefuseOpen = true;
    Strip.SetFileName("/m/WRAPPED.MID");
    EXPECT_THROW(Strip.Open(), EMCIDeviceError);
    EXPECT_EQ(Names(Usable(Strip)), "none");
    Script.Calls.clear();
    Click(B::btPlay);
    Click(B::btPrev);
    EXPECT_TRUE(Script.Calls.empty());
}

TEST_F(MediaPlayerStrip, StaleEndNoticeOfAClosedSongIsIgnored) {
    OpenFile();
    Click(B::btPlay);
    auto notice = Script.EndHandler;
    OpenFile("/m/OTHER.MID");
    Click(B::btPlay);
    notice();                 // the old song's end, posted before the new Open
    OpenFile("/m/THIRD.MID"); // bumps the generation after the post
    Click(B::btPlay);
    QApplication::processEvents();
    EXPECT_EQ(Names(Usable(Strip)), "Pause+Prev");
}

TEST_F(MediaPlayerStrip, WaitAppliesToTheNextCommandOnly) {
    Strip.SetWait(false);
    EXPECT_FALSE(Strip.Wait());
    OpenFile();
    EXPECT_TRUE(Strip.Wait());
}

// The real synth with no driver, rendered on a second thread as the audio thread would:
// the end notice must reach the strip through the event loop.
TEST(MediaPlayerWithSynth, EndNoticeArrivesOnTheUiThread) {
    test::TTempDir dir;
    const std::string song = dir / "SONG.MID";
    test::WriteBytes(song, test::MakeSong({.Quarters = 2}));
    TFluidSequencer* synth = nullptr;
    TMediaPlayer strip(nullptr, [&] {
        auto device = std::make_unique<TFluidSequencer>(TSequencerOptions{.Drivers = {}});
        synth = device.get();
        return device;
    });
    strip.show();
    strip.SetFileName(song);
    strip.Open();
    QTest::mouseClick(&strip, Qt::LeftButton, {}, strip.ButtonRect(B::btPlay).center());
    ASSERT_EQ(Names(Usable(strip)), "Pause+Prev");

    std::thread audio([synth] {
        std::vector<float> left(512), right(512);
        for (int i = 0; i < 2000 && synth->Mode() == TSequencerMode::Playing; ++i)
            synth->Render(left.data(), right.data(), left.size());
    });
    audio.join();
    ASSERT_EQ(synth->Mode(), TSequencerMode::Stopped);
    EXPECT_EQ(Names(Usable(strip)), "Pause+Prev") << "nothing changes off the UI thread";
    QApplication::processEvents();
    EXPECT_EQ(Names(Usable(strip)), "Play+Prev");
}

} // namespace
} // namespace sveltor
