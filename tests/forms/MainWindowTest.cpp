// The real main window, offscreen, on real folders, with the FluidSynth sequencer
// rendering for no sound card: the road of a conversion, and the window around it.
#include "Unit1.h"
#include "Unit2.h"
#include "Unit3.h"

#include "Application.h"
#include "CaseTitle.h"
#include "Exception.h"
#include "MidiFixtures.h"
#include "ModalDriver.h"

#include <QMessageBox>
#include <QRegularExpression>
#include <QTest>

#include <gtest/gtest.h>

#include <sys/stat.h>
#include <unistd.h>

#include <climits>

namespace sveltor {
namespace {

using test::TBytes;
using test::TTempDir;

std::string Cwd() {
    char buffer[PATH_MAX];
    return ::getcwd(buffer, sizeof buffer) != nullptr ? buffer : "";
}

class MainWindow : public testing::Test {
protected:
    std::string OldCwd = Cwd();
    TTempDir Start;
    std::string Music = Start / "music";
    const TBytes Song = test::MakeSong({.Quarters = 8});
    const TBytes Wrapped = test::Wrap(Song);
    std::unique_ptr<TSveltorMain> Window;

    void SetUp() override {
        ::mkdir(Music.c_str(), 0777);
        test::WriteBytes(Music + "/CLEAN.MID", Song);
        test::WriteBytes(Music + "/WRAPPED.MID", Wrapped);
        test::WriteBytes(Music + "/notes.txt", {'h', 'i'});
        ASSERT_EQ(::chdir(Start.Path().c_str()), 0);
        FirstActivateDone = false;
        TSveltorMain::MakeSequencer = [] {
            return std::make_unique<TFluidSequencer>(TSequencerOptions{.Drivers = {}});
        };
    }
    void TearDown() override {
        Window.reset();
        (void)!::chdir(OldCwd.c_str());
    }

    void StartWindow() {
        Window = std::make_unique<TSveltorMain>(nullptr);
        Window->show();
        ASSERT_TRUE(QTest::qWaitForWindowActive(Window.get()));
    }
    QString Panel(std::size_t i) { return Window->StatusBar1->Panels[i].Text(); }
    void ClickFile(const char* name) {
        TFileListBox& list = *Window->FileListBox1;
        const auto found = list.findItems(QString::fromUtf8(name), Qt::MatchExactly);
        ASSERT_EQ(found.size(), 1) << name;
        list.scrollToItem(found[0]);
        QTest::mouseClick(list.viewport(), Qt::LeftButton, {},
                          list.visualItemRect(found[0]).center());
    }
};

TEST_F(MainWindow, RoadOfAConversion) {
    test::WriteBytes(Start / "dir.hst", TBytes(Music.begin(), Music.end()));
    StartWindow();

    // The first activation: the history applied, MIDI mode, Convert off.
    EXPECT_EQ(Window->windowTitle(), "Sveltor");
    EXPECT_EQ(Window->DirectoryListBox1->Directory(), Music);
    EXPECT_EQ(Cwd(), Music);
    EXPECT_EQ(Window->FileListBox1->Mask(), "*.mid");
    EXPECT_EQ(Window->FileListBox1->count(), 2);
    EXPECT_FALSE(Window->ConvertButton->isEnabled());
    EXPECT_FALSE(Window->MediaPlayer1->Enabled());
    EXPECT_TRUE(Window->RadioButton1->isChecked());
    EXPECT_EQ(Panel(0), "Ready");
    EXPECT_EQ(Panel(1), "Time:");
    EXPECT_TRUE(FirstActivateDone);

    // A wrapped file: the player refuses it, silently, and Convert is offered.
    ClickFile("WRAPPED.MID");
    EXPECT_EQ(Panel(0), QString::fromStdString(Music + "/WRAPPED.MID"));
    EXPECT_TRUE(Window->ConvertButton->isEnabled());
    EXPECT_FALSE(Window->MediaPlayer1->Enabled());
    EXPECT_EQ(QApplication::activeModalWidget(), nullptr) << "no message box";

    // Convert through the real dialog.
    QString shownInDialog;
    test::WhenModal([&](QWidget* modal) {
        auto* dialog = static_cast<TForm2*>(modal);
        shownInDialog = dialog->Panel1->Caption();
        dialog->OKButton->click();
    });
    QTest::mouseClick(Window->ConvertButton, Qt::LeftButton);
    EXPECT_EQ(shownInDialog, "WRAPPED.MID.BAK");
    EXPECT_EQ(Panel(0), "Convert done.Made Backup");
    EXPECT_FALSE(Window->ConvertButton->isEnabled());
    EXPECT_EQ(Window->FileListBox1->FileName(), "") << "the list was refreshed";
    EXPECT_EQ(test::ReadBytes(Music + "/WRAPPED.MID"), Song);
    EXPECT_EQ(test::ReadBytes(Music + "/WRAPPED.MID.BAK"), Wrapped);

    // Now clean: the player takes it and Convert stays off.
    ClickFile("WRAPPED.MID");
    EXPECT_FALSE(Window->ConvertButton->isEnabled());
    EXPECT_TRUE(Window->MediaPlayer1->Enabled());
    EXPECT_TRUE(Window->MediaPlayer1->IsUsable(TMediaPlayer::btPlay));
    EXPECT_FALSE(Window->MediaPlayer1->IsUsable(TMediaPlayer::btPause));

    // All files: the path shown, Convert on, the player left as it was.
    QTest::mouseClick(Window->RadioButton2, Qt::LeftButton, {}, QPoint(4, 8));
    EXPECT_EQ(Window->FileListBox1->Mask(), "*.*");
    EXPECT_FALSE(Window->MediaPlayer1->Enabled());
    ClickFile("notes.txt");
    EXPECT_EQ(Panel(0), QString::fromStdString(Music + "/notes.txt"));
    EXPECT_TRUE(Window->ConvertButton->isEnabled());
    EXPECT_EQ(Window->MediaPlayer1->FileName(), Music + "/WRAPPED.MID");
    EXPECT_FALSE(Window->MediaPlayer1->Enabled());

    // Convert on a file with no header.
    QTest::mouseClick(Window->ConvertButton, Qt::LeftButton);
    EXPECT_EQ(Panel(0), "File too small");
    EXPECT_TRUE(Window->ConvertButton->isEnabled());

    // Back to MIDI files: the player is enabled even with no new file.
    QTest::mouseClick(Window->RadioButton1, Qt::LeftButton, {}, QPoint(4, 8));
    EXPECT_TRUE(Window->MediaPlayer1->Enabled());
    EXPECT_EQ(Window->FileListBox1->Mask(), "*.mid");
}

TEST_F(MainWindow, ExitWritesTheHistoryAndARestartAppliesIt) {
    StartWindow();
    Window->DirectoryListBox1->SetDirectory(Music);
    EXPECT_EQ(Cwd(), Music);
    QTest::mouseClick(Window->BitBtn1, Qt::LeftButton);
    EXPECT_FALSE(Window->isVisible());
    Window.reset(); // what the application object does at program end
    EXPECT_EQ(test::ReadBytes(Start / "dir.hst"), TBytes(Music.begin(), Music.end()))
        << "in the start directory, though the process moved";

    ASSERT_EQ(::chdir(Start.Path().c_str()), 0);
    FirstActivateDone = false;
    StartWindow();
    EXPECT_EQ(Window->DirectoryListBox1->Directory(), Music);
}

TEST_F(MainWindow, LaterActivationsChangeNothing) {
    StartWindow();
    Window->FileListBox1->SetMask("*.*");
    Window->FormActivate(Window.get());
    EXPECT_EQ(Window->FileListBox1->Mask(), "*.*");
}

TEST_F(MainWindow, AboutFromThePopupMenu) {
    StartWindow();
    bool centred = false;
    test::WhenModal([&](QWidget* modal) {
        EXPECT_EQ(modal, AboutBox);
        EXPECT_EQ(AboutBox->parentWidget(), Window.get()) << "owned by the main window";
        centred = AboutBox->Position == TForm::poScreenCenter;
        AboutBox->OKButton->click();
    });
    Window->Version1->trigger();
    EXPECT_TRUE(centred);
    EXPECT_EQ(AboutBox, nullptr);
    EXPECT_EQ(Window->Version1->text(), "About...");
    EXPECT_EQ(Window->PopupMenu, Window->PopupMenu1);
}

TEST_F(MainWindow, ClockShowsTheTimeOfDay) {
    StartWindow();
    Window->Timer1Timer(Window->Timer1);
    EXPECT_TRUE(QRegularExpression("^[ 12][0-9]:[0-5][0-9]:[0-5][0-9]$").match(Panel(1)).hasMatch())
        << Panel(1).toStdString();
    EXPECT_EQ(Window->Timer1->Interval(), 1000);
    EXPECT_TRUE(Window->Timer1->Enabled());
}

struct TClockCase {
    const char* Title;
    int H, M, S;
    const char* Text;
};

class Clock : public testing::TestWithParam<TClockCase> {};

TEST_P(Clock, FormatsLikeTwoDigitColumns) {
    EXPECT_EQ(ClockText(GetParam().H, GetParam().M, GetParam().S), GetParam().Text);
}

INSTANTIATE_TEST_SUITE_P(Times, Clock,
                         testing::Values(TClockCase{"Morning", 9, 5, 7, " 9:05:07"},
                                         TClockCase{"LastSecond", 23, 59, 59, "23:59:59"},
                                         TClockCase{"Midnight", 0, 0, 0, " 0:00:00"}),
                         test::TCaseTitle());

TEST_F(MainWindow, HistoryThatCannotBeEnteredIsShownOnceAndRepairedAtExit) {
    const std::string gone = Start / "gone";
    test::WriteBytes(Start / "dir.hst", TBytes(gone.begin(), gone.end()));
    QString shown;
    test::WhenModal([&](QWidget* modal) {
        shown = static_cast<QMessageBox*>(modal)->text();
        static_cast<QMessageBox*>(modal)->button(QMessageBox::Ok)->click();
    });
    Window = std::make_unique<TSveltorMain>(nullptr);
    Window->show();
    for (int i = 0; i < 100 && shown.isEmpty(); ++i)
        QTest::qWait(10);
    EXPECT_TRUE(shown.contains(QString::fromStdString(gone))) << shown.toStdString();
    EXPECT_FALSE(FirstActivateDone);
    EXPECT_EQ(Window->FileListBox1->Mask(), "*.*") << "the rest of the activation was skipped";

    // Closing the message box activates the window again: the activation runs its steps
    // again, but the same broken history is not read, and shown, over and over.
    Window->FormActivate(Window.get());
    EXPECT_EQ(QApplication::activeModalWidget(), nullptr);
    EXPECT_TRUE(FirstActivateDone);
    EXPECT_EQ(Window->FileListBox1->Mask(), "*.mid");
    EXPECT_EQ(Window->DirectoryListBox1->Directory(), Start.Path());

    // At exit the history is written anew, which repairs it.
    Window.reset();
    EXPECT_EQ(test::ReadBytes(Start / "dir.hst"), TBytes(Start.Path().begin(), Start.Path().end()));
}

TEST_F(MainWindow, NoUsableSequencerMeansNoWindow) {
    TSveltorMain::MakeSequencer = []() -> std::unique_ptr<TSequencer> {
        throw EMCIDeviceError("No audio output could be opened (tried pulseaudio, alsa)");
    };
    TSveltorMain* window = nullptr;
    EXPECT_THROW(Application->CreateForm(window), EMCIDeviceError);
    EXPECT_EQ(window, nullptr);
    EXPECT_FALSE(test::Exists(Start / "dir.hst")) << "no history is written";
}

TEST_F(MainWindow, LayoutAsDesigned) {
    StartWindow();
    EXPECT_EQ(Window->size(), QSize(400, 273));
    EXPECT_EQ(Window->ConvertButton->geometry(), QRect(8, 8, 25, 25));
    EXPECT_EQ(Window->ConvertButton->toolTip(), "Do Operation");
    EXPECT_EQ(Window->FileListBox1->geometry(), QRect(8, 40, 145, 209));
    EXPECT_EQ(Window->DirectoryListBox1->geometry(), QRect(168, 40, 217, 97));
    EXPECT_EQ(Window->BitBtn1->geometry(), QRect(304, 216, 75, 25));
    EXPECT_EQ(Window->BitBtn1->text(), "E&xit");
    EXPECT_EQ(Window->Panel1->geometry(), QRect(168, 144, 129, 49));
    EXPECT_EQ(Window->RadioButton1->geometry(), QRect(16, 8, 97, 17));
    EXPECT_EQ(Window->RadioButton2->geometry(), QRect(16, 24, 81, 17));
    EXPECT_EQ(Window->DriveComboBox1->geometry(), QRect(168, 16, 217, 18));
    EXPECT_EQ(Window->MediaPlayer1->geometry(), QRect(168, 216, 85, 25));
    EXPECT_EQ(Window->StatusBar1->geometry(), QRect(0, 254, 400, 19));
    EXPECT_EQ(Window->StatusBar1->Panels[0].Width(), 320);
    const QImage glyph = ConvertGlyph().toImage();
    EXPECT_EQ(glyph.size(), QSize(32, 16));
    EXPECT_EQ(qAlpha(glyph.pixel(0, 15)), 0) << "the olive background is transparent";
    EXPECT_EQ(ProgramIconPicture().size(), QSize(32, 32));

    Window->resize(500, 400);
    EXPECT_EQ(Window->StatusBar1->geometry(), QRect(0, 381, 500, 19))
        << "only the status bar follows";
    EXPECT_EQ(Window->BitBtn1->geometry(), QRect(304, 216, 75, 25));
}

} // namespace
} // namespace sveltor
