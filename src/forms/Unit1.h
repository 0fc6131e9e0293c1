#pragma once

#include "ExtCtrls.h"
#include "FileCtrls.h"
#include "Forms.h"
#include "MediaPlayer.h"
#include "StdCtrls.h"
#include "ui_Unit1.h"

#include <string>

namespace sveltor {

// The main window: a file browser, the MIDI/all-files filter, the Convert button, the
// preview strip, Exit, a status bar with the last message and a clock, and a popup
// menu with the About box.
class TSveltorMain : public TForm, public Ui_TSveltorMain {
    Q_OBJECT

public:
    explicit TSveltorMain(QWidget* owner);
    ~TSveltorMain() override;

    TMediaPlayer* MediaPlayer1 = nullptr;
    TTimer* Timer1 = nullptr;
    TPopupMenu* PopupMenu1 = nullptr;
    TMenuItem* Version1 = nullptr;

    void DirectoryListBox1Change(QObject* sender);
    void RadioButton1Click(QObject* sender);
    void RadioButton2Click(QObject* sender);
    void FileListBox1Click(QObject* sender);
    void FormActivate(QObject* sender);
    void ConvertButtonClick(QObject* sender);
    void FormDestroy(QObject* sender);
    void Timer1Timer(QObject* sender);
    void Version1Click(QObject* sender);

    // Makes the preview strip's sequencer; FluidSynth with its audio output unless a
    // test puts another here before the window is made.
    static TMediaPlayer::TDeviceFactory MakeSequencer;

protected:
    void resizeEvent(QResizeEvent* event) override;

private:
    std::string StartDir;
    // Set once reading the history has raised: closing the message box activates the
    // window again, and reading the same file again would raise the same error forever.
    bool FHistoryFailed = false;
};

// Set by the first activation that gets through, and never cleared.
extern bool FirstActivateDone;
// The main window, once start-up has made it.
extern TSveltorMain* SveltorMain;

// The clock's text: the hour right-aligned in two characters, minutes and seconds in two
// digits, as " 9:05:07".
std::string ClockText(int hour, int minute, int second);

// The Convert button's picture: a hand pointing right and its greyed copy, side by side,
// the olive background transparent.
QPixmap ConvertGlyph();
// The program's icon, 32 x 32.
QPixmap ProgramIconPicture();

} // namespace sveltor
