#pragma once

#include "Exception.h"

#include <cstddef>
#include <functional>
#include <memory>
#include <string>
#include <vector>

namespace sveltor {

// The preview player's failure: the device refused to open, or could not be opened at
// all. The message is the device's own text for the failure.
class EMCIDeviceError : public Exception {
public:
    using Exception::Exception;
};

enum class TSequencerMode { NotOpen, Stopped, Playing, Paused };

// The MIDI sequencer behind the preview strip. Every member runs on the user-interface
// thread except the end handler, which may be called from the audio thread.
class TSequencer {
public:
    virtual ~TSequencer() = default;

    // Closes what was open (stopping a song that plays) and opens path for playing; an
    // empty path opens the device with no file. Raises EMCIDeviceError when the file is
    // refused; the device is then left closed.
    virtual void Open(const std::string& path) = 0;
    // Stops and closes; afterwards nothing is open.
    virtual void Close() noexcept = 0;

    // True when a file is open that can be played.
    virtual bool CanPlay() const noexcept = 0;
    // Each returns false when the device refuses, and then changes nothing.
    virtual bool Play() = 0;   // from the current position; from the start when at the end
    virtual bool Pause() = 0;  // holds the position
    virtual bool Resume() = 0; // from the held position
    virtual bool Rewind() = 0; // to the start; a song that plays stops there

    virtual TSequencerMode Mode() const noexcept = 0;
    virtual double PositionMs() const noexcept = 0; // never past the length
    virtual double LengthMs() const noexcept = 0;

    // Called once each time a song plays to its end, from whichever thread saw it.
    virtual void SetEndHandler(std::function<void()> handler) = 0;
};

struct TSequencerOptions {
    // A General MIDI SoundFont; Debian's timgm6mb-soundfont or fluid-soundfont-gm put one
    // here.
    std::string SoundFont = "/usr/share/sounds/sf2/default-GM.sf2";
    // Audio output, tried in order. Empty: no driver, the caller renders (Render below),
    // which runs the same synth with no sound card and faster than real time.
    std::vector<std::string> Drivers = {"pulseaudio", "alsa"};
    double SampleRate = 44100;
};

// A sequencer on FluidSynth. Loads the SoundFont and opens the audio output at once;
// raises EMCIDeviceError, saying why, when either cannot be had.
class TFluidSequencer : public TSequencer {
public:
    explicit TFluidSequencer(const TSequencerOptions& options = {});
    ~TFluidSequencer() override;

    void Open(const std::string& path) override;
    void Close() noexcept override;
    bool CanPlay() const noexcept override;
    bool Play() override;
    bool Pause() override;
    bool Resume() override;
    bool Rewind() override;
    TSequencerMode Mode() const noexcept override;
    double PositionMs() const noexcept override;
    double LengthMs() const noexcept override;
    void SetEndHandler(std::function<void()> handler) override;

    // Renders frames of stereo audio into left and right when there is no driver; the
    // song advances by as much. Returns false with a driver, or when the synth fails.
    bool Render(float* left, float* right, std::size_t frames);
    // The audio driver in use, or empty.
    std::string DriverName() const;

private:
    struct TImpl;
    std::unique_ptr<TImpl> FImpl;
};

} // namespace sveltor
