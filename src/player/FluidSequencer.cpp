#include "Sequencer.h"

#include "FileSystem.h"
#include "MidiFile.h"

#include <fluidsynth.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <mutex>

namespace sveltor {
namespace {

// A preview reads the whole file; a larger one is no MIDI song anyone wants to hear.
constexpr std::uint64_t MaxSongSize = 64 * 1024 * 1024;

// FluidSynth reports through a process-wide log. Its errors are kept, not printed, so
// the exception can carry the device's own words.
std::mutex LogMutex;
std::string LastFluidError;

void KeepFluidError(int level, const char* message, void*) {
    if (level <= FLUID_ERR && message != nullptr) {
        std::lock_guard lock(LogMutex);
        LastFluidError = message;
    }
}

void InstallFluidLog() {
    static std::once_flag once;
    std::call_once(once, [] {
        for (int level = FLUID_PANIC; level < LAST_LOG_LEVEL; ++level)
            fluid_set_log_function(level, KeepFluidError, nullptr);
    });
}

std::string TakeFluidError() {
    std::lock_guard lock(LogMutex);
    std::string text = std::move(LastFluidError);
    LastFluidError.clear();
    return text;
}

// "<what>: <FluidSynth's last error>", or what alone when it said nothing.
[[noreturn]] void FailDevice(std::string what) {
    if (std::string why = TakeFluidError(); !why.empty())
        what += ": " + why;
    throw EMCIDeviceError(what);
}

template <class T, void (*Delete)(T*)> struct TFluidDeleter {
    void operator()(T* p) const noexcept { Delete(p); }
};
template <class T, void (*Delete)(T*)>
using TFluidPtr = std::unique_ptr<T, TFluidDeleter<T, Delete>>;

} // namespace

struct TFluidSequencer::TImpl {
    // Declared in the order of creation, so they go in reverse: the driver, and with it
    // the audio thread, first.
    TFluidPtr<fluid_settings_t, delete_fluid_settings> Settings;
    TFluidPtr<fluid_synth_t, delete_fluid_synth> Synth;
    TFluidPtr<fluid_player_t, delete_fluid_player> Player;
    TFluidPtr<fluid_audio_driver_t, delete_fluid_audio_driver> Driver;
    std::string DriverName;

    // Guards the player, the mode and the handler against the audio thread, which
    // renders under it; a player is only ever swapped or deleted while it is held.
    mutable std::mutex Mutex;
    std::vector<unsigned char> Song;
    TSmfInfo Info;
    bool HasFile = false;
    bool AtEnd = false;
    TSequencerMode Mode = TSequencerMode::NotOpen;
    std::function<void()> EndHandler;

    // A fresh player on the song, at its start. Mutex held.
    bool LoadPlayer() {
        Player.reset();
        Player.reset(new_fluid_player(Synth.get()));
        if (!Player || fluid_player_add_mem(Player.get(), Song.data(), Song.size()) != FLUID_OK) {
            Player.reset();
            return false;
        }
        AtEnd = false;
        return true;
    }

    // Silences the synth at once, notes and their release tails. Mutex held.
    void Silence() noexcept { fluid_synth_all_sounds_off(Synth.get(), -1); }

    // Notices the end of a song that plays. FluidSynth reports it only as DONE, which a
    // pause reports too, so the mode decides. Mutex held. True when the song just ended.
    bool TakeEnd() noexcept {
        if (Mode != TSequencerMode::Playing || !Player ||
            fluid_player_get_status(Player.get()) != FLUID_PLAYER_DONE)
            return false;
        Mode = TSequencerMode::Stopped;
        AtEnd = true;
        return true;
    }

    // Renders under the lock; calls the end handler after it is released.
    bool RenderLocked(int frames, float* left, float* right) {
        std::function<void()> notify;
        bool ok;
        {
            std::lock_guard lock(Mutex);
            ok = fluid_synth_write_float(Synth.get(), frames, left, 0, 1, right, 0, 1) == FLUID_OK;
            if (TakeEnd())
                notify = EndHandler;
        }
        if (notify)
            notify();
        return ok;
    }

    static int AudioCallback(void* data, int len, int, float*[], int nout, float* out[]) {
        if (nout < 2)
            return FLUID_FAILED;
        return static_cast<TImpl*>(data)->RenderLocked(len, out[0], out[1]) ? FLUID_OK
                                                                            : FLUID_FAILED;
    }
};

TFluidSequencer::TFluidSequencer(const TSequencerOptions& options)
    : FImpl(std::make_unique<TImpl>()) {
    InstallFluidLog();
    TImpl& d = *FImpl;
    d.Settings.reset(new_fluid_settings());
    if (!d.Settings)
        FailDevice("Cannot set up the synthesizer");
    // Samples are loaded when a program first needs them, which keeps start-up short.
    if (fluid_settings_setint(d.Settings.get(), "synth.dynamic-sample-loading", 1) != FLUID_OK ||
        fluid_settings_setnum(d.Settings.get(), "synth.sample-rate", options.SampleRate) !=
            FLUID_OK)
        FailDevice("Cannot set up the synthesizer");
    d.Synth.reset(new_fluid_synth(d.Settings.get()));
    if (!d.Synth)
        FailDevice("Cannot start the synthesizer");

    if (::access(options.SoundFont.c_str(), R_OK) != 0)
        throw EMCIDeviceError(
            FileErrorMessage("Cannot read the SoundFont", options.SoundFont, errno));
    if (fluid_synth_sfload(d.Synth.get(), options.SoundFont.c_str(), 1) == FLUID_FAILED)
        FailDevice("Cannot load the SoundFont \"" + options.SoundFont + "\"");

    if (options.Drivers.empty())
        return;
    std::string tried;
    for (const std::string& name : options.Drivers) {
        if (fluid_settings_setstr(d.Settings.get(), "audio.driver", name.c_str()) != FLUID_OK)
            continue;
        d.Driver.reset(new_fluid_audio_driver2(d.Settings.get(), &TImpl::AudioCallback, &d));
        if (d.Driver) {
            d.DriverName = name;
            TakeFluidError(); // what the drivers tried before said no longer matters
            return;
        }
        tried += (tried.empty() ? "" : ", ") + name;
    }
    FailDevice("No audio output could be opened (tried " + tried + ")");
}

TFluidSequencer::~TFluidSequencer() {
    {
        std::lock_guard lock(FImpl->Mutex);
        FImpl->EndHandler = nullptr;
    }
    // The driver goes first and stops the audio thread; a PulseAudio driver can take a
    // moment to let go.
    FImpl->Driver.reset();
}

void TFluidSequencer::Open(const std::string& path) {
    Close();
    TImpl& d = *FImpl;
    if (path.empty()) {
        std::lock_guard lock(d.Mutex);
        d.Mode = TSequencerMode::Stopped;
        return;
    }
    std::vector<unsigned char> song;
    TSmfInfo info;
    try {
        TFileStream file = TFileStream::OpenRead(path);
        const std::uint64_t size = file.Size();
        if (size > MaxSongSize)
            throw EMCIDeviceError("Cannot play \"" + path + "\": the file is too large for a song");
        song.resize(static_cast<std::size_t>(size));
        file.ReadBuffer(song.data(), song.size());
    } catch (const EMCIDeviceError&) {
        throw;
    } catch (const Exception& e) {
        throw EMCIDeviceError(e.Message(), e.ErrorCode());
    }
    if (const std::string why = ValidateSmf(song.data(), song.size(), info); !why.empty())
        throw EMCIDeviceError("Cannot play \"" + path + "\": " + why);

    std::lock_guard lock(d.Mutex);
    d.Song = std::move(song);
    d.Info = std::move(info);
    if (!d.LoadPlayer())
        FailDevice("Cannot play \"" + path + "\"");
    d.HasFile = true;
    d.Mode = TSequencerMode::Stopped;
}

void TFluidSequencer::Close() noexcept {
    TImpl& d = *FImpl;
    std::lock_guard lock(d.Mutex);
    d.Player.reset();
    d.Silence();
    d.HasFile = false;
    d.AtEnd = false;
    d.Mode = TSequencerMode::NotOpen;
}

bool TFluidSequencer::CanPlay() const noexcept {
    std::lock_guard lock(FImpl->Mutex);
    return FImpl->HasFile;
}

bool TFluidSequencer::Play() {
    TImpl& d = *FImpl;
    std::lock_guard lock(d.Mutex);
    if (!d.HasFile || d.Mode == TSequencerMode::Playing)
        return false;
    if (d.AtEnd && !d.LoadPlayer())
        return false;
    if (fluid_player_play(d.Player.get()) != FLUID_OK)
        return false;
    d.Mode = TSequencerMode::Playing;
    return true;
}

bool TFluidSequencer::Pause() {
    TImpl& d = *FImpl;
    std::lock_guard lock(d.Mutex);
    if (d.Mode != TSequencerMode::Playing)
        return false;
    if (fluid_player_stop(d.Player.get()) != FLUID_OK)
        return false;
    d.Silence();
    d.Mode = TSequencerMode::Paused;
    return true;
}

bool TFluidSequencer::Resume() {
    TImpl& d = *FImpl;
    std::lock_guard lock(d.Mutex);
    if (d.Mode != TSequencerMode::Paused)
        return false;
    if (fluid_player_play(d.Player.get()) != FLUID_OK)
        return false;
    d.Mode = TSequencerMode::Playing;
    return true;
}

bool TFluidSequencer::Rewind() {
    TImpl& d = *FImpl;
    std::lock_guard lock(d.Mutex);
    if (d.Mode == TSequencerMode::NotOpen)
        return false;
    if (!d.HasFile)
        return true; // the device alone has nothing to rewind
    if (d.Player)
        fluid_player_stop(d.Player.get());
    d.Silence();
    if (!d.LoadPlayer())
        return false;
    d.Mode = TSequencerMode::Stopped;
    return true;
}

TSequencerMode TFluidSequencer::Mode() const noexcept {
    std::lock_guard lock(FImpl->Mutex);
    return FImpl->Mode;
}

double TFluidSequencer::PositionMs() const noexcept {
    const TImpl& d = *FImpl;
    std::lock_guard lock(d.Mutex);
    if (!d.HasFile || !d.Player)
        return 0;
    if (d.AtEnd)
        return d.Info.LengthMs;
    // During the release tail after the last event the tick runs past the song.
    const int tick = std::max(0, fluid_player_get_current_tick(d.Player.get()));
    return std::min(d.Info.TickToMs(static_cast<std::uint32_t>(tick)), d.Info.LengthMs);
}

double TFluidSequencer::LengthMs() const noexcept {
    std::lock_guard lock(FImpl->Mutex);
    return FImpl->HasFile ? FImpl->Info.LengthMs : 0;
}

void TFluidSequencer::SetEndHandler(std::function<void()> handler) {
    std::lock_guard lock(FImpl->Mutex);
    FImpl->EndHandler = std::move(handler);
}

bool TFluidSequencer::Render(float* left, float* right, std::size_t frames) {
    if (FImpl->Driver)
        return false;
    return FImpl->RenderLocked(static_cast<int>(frames), left, right);
}

std::string TFluidSequencer::DriverName() const {
    return FImpl->DriverName;
}

} // namespace sveltor
