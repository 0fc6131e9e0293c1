#pragma once

#include "Sequencer.h"

#include <string>
#include <vector>

namespace sveltor::test {

// A sequencer whose answers a test decides, and which records what it was asked.
class TFakeSequencer : public TSequencer {
public:
    struct TScript {
        bool RefuseOpen = false;
        bool RefusePlay = false;
        bool RefusePause = false;
        bool RefuseResume = false;
        bool RefuseRewind = false;
        std::vector<std::string> Calls;
        std::function<void()> EndHandler;
    };
    explicit TFakeSequencer(TScript& script) : FScript(script) {}

    void Open(const std::string& path) override {
        FScript.Calls.push_back("Open " + path);
        FMode = TSequencerMode::NotOpen;
        FFile.clear();
        if (FScript.RefuseOpen)
            throw EMCIDeviceError("Cannot play \"" + path + "\": refused");
        FFile = path;
        FMode = TSequencerMode::Stopped;
    }
    void Close() noexcept override {
        FScript.Calls.push_back("Close");
        FMode = TSequencerMode::NotOpen;
        FFile.clear();
    }
    bool CanPlay() const noexcept override { return !FFile.empty(); }
    bool Play() override { return Do("Play", FScript.RefusePlay, TSequencerMode::Playing); }
    bool Pause() override { return Do("Pause", FScript.RefusePause, TSequencerMode::Paused); }
    bool Resume() override { return Do("Resume", FScript.RefuseResume, TSequencerMode::Playing); }
    bool Rewind() override { return Do("Rewind", FScript.RefuseRewind, TSequencerMode::Stopped); }
    TSequencerMode Mode() const noexcept override { return FMode; }
    double PositionMs() const noexcept override { return 0; }
    double LengthMs() const noexcept override { return 0; }
    void SetEndHandler(std::function<void()> handler) override {
        FScript.EndHandler = std::move(handler);
    }
    // Plays to the end, as the audio thread would report it.
    void End() {
        FMode = TSequencerMode::Stopped;
        if (FScript.EndHandler)
            FScript.EndHandler();
    }

private:
    bool Do(const char* what, bool refuse, TSequencerMode next) {
        FScript.Calls.push_back(what);
        if (refuse)
            return false;
        FMode = next;
        return true;
    }

    TScript& FScript;
    TSequencerMode FMode = TSequencerMode::NotOpen;
    std::string FFile;
};

} // namespace sveltor::test
