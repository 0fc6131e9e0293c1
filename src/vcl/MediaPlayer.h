#pragma once

#include "Sequencer.h"

#include <QPixmap>
#include <QWidget>

#include <array>
#include <atomic>
#include <functional>
#include <memory>
#include <string>

namespace sveltor {

// The media-player strip: three buttons (Play, Pause, Prev) over a MIDI sequencer. It is
// worked by mouse only and never takes the focus. Which buttons are usable follows the
// device: after an Open, Play (when the device can play) and Prev; Play swaps with Pause
// while a song plays; Pause toggles between pausing and resuming.
class TMediaPlayer : public QWidget {
    Q_OBJECT

public:
    // The buttons of the classic strip, in its order; this strip shows three of them.
    enum TButton { btPlay, btPause, btStop, btNext, btPrev, btStep, btBack, btRecord, btEject };
    using TButtonSet = unsigned; // one bit per TButton
    static constexpr TButtonSet Bit(TButton b) noexcept { return 1u << b; }
    enum TDeviceType { dtSequencer };

    using TDeviceFactory = std::function<std::unique_ptr<TSequencer>()>;

    // makeDevice is called at the first Open, which opens the start-up device.
    TMediaPlayer(QWidget* parent, TDeviceFactory makeDevice);
    ~TMediaPlayer() override;

    // The configuration as the form stores it.
    TDeviceType DeviceType = dtSequencer;
    bool AutoOpen = true;
    bool AutoEnable = true;
    bool AutoRewind = true;
    bool Shareable = false;
    const TButtonSet VisibleButtons = Bit(btPlay) | Bit(btPause) | Bit(btPrev);
    TButtonSet ColoredButtons =
        Bit(btPause) | Bit(btNext) | Bit(btStep) | Bit(btBack) | Bit(btRecord) | Bit(btEject);

    // Runs once the form has set the configuration: opens the start-up device when
    // AutoOpen is set. Raises EMCIDeviceError when there is no usable sequencer.
    void Loaded();

    bool Enabled() const { return isEnabled(); }
    // Takes or refuses mouse input and draws the buttons accordingly; sends nothing to
    // the device, so a song that plays goes on.
    void SetEnabled(bool enabled);
    const std::string& FileName() const noexcept { return FFileName; }
    // Recorded only; the next Open uses it.
    void SetFileName(const std::string& fileName) { FFileName = fileName; }
    // Closes the device (stopping a song that plays), then opens the sequencer with
    // FileName, or with no file when it is empty. Raises EMCIDeviceError when refused;
    // the strip is then left with no device.
    void Open();
    bool Wait() const noexcept { return FWait; }
    // A one-shot setting: applies to the next device command only.
    void SetWait(bool wait) noexcept { FWait = wait; }

    bool IsUsable(TButton button) const noexcept { return (FUsable & Bit(button)) != 0; }
    // The area of a visible button, in the strip's coordinates.
    QRect ButtonRect(TButton button) const;
    // The sequencer, once the first Open has made it.
    TSequencer* Device() const noexcept { return FDevice.get(); }

protected:
    void paintEvent(QPaintEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;

private:
    static constexpr std::array<TButton, 3> Shown = {btPlay, btPause, btPrev};
    static constexpr int ButtonWidth = 29; // neighbours share a border
    static constexpr int NoButton = -1;

    int ButtonAt(const QPoint& pos) const;
    void Press(TButton button);
    void SongEnded(unsigned generation);
    void SetUsable(TButtonSet usable);
    TButtonSet ReadyButtons() const;
    void CommandSent() noexcept { FWait = true; }

    TDeviceFactory FMakeDevice;
    std::unique_ptr<TSequencer> FDevice;
    bool FDeviceOpen = false;
    std::string FFileName;
    bool FWait = true;
    TButtonSet FUsable = 0;
    int FPressed = NoButton;
    bool FPressedInside = false;
    // Tells an end notice from a song that has since been closed.
    std::atomic<unsigned> FGeneration{0};

    // Pictures, per shown button: enabled, disabled, and coloured where ColoredButtons
    // asks for it.
    std::array<QPixmap, 3> FEnabledGlyph, FDisabledGlyph, FColoredGlyph;
};

} // namespace sveltor
