#include "Unit1.h"

#include "Ansi.h"
#include "Convert.h"
#include "DirHistory.h"
#include "Unit2.h"
#include "Unit3.h"

#include "images/hand.xpm"
#include "images/sveltor.xpm"

#include <QBitmap>
#include <QResizeEvent>

#include <cstdio>
#include <ctime>

namespace sveltor {

bool FirstActivateDone = false;
TSveltorMain* SveltorMain = nullptr;

TMediaPlayer::TDeviceFactory TSveltorMain::MakeSequencer = [] {
    return std::make_unique<TFluidSequencer>();
};

namespace {

const char* const MidiMask = "*.mid";
const char* const AllMask = "*.*";

// The Convert operation's view of the window.
class TWindowConvertHost : public TConvertHost {
public:
    explicit TWindowConvertHost(TSveltorMain& window) : FWindow(window) {}
    void ShowStatus(const std::string& text) override {
        FWindow.StatusBar1->Panels[0].SetText(FromAnsi(text));
    }
    void DisableConvert() override { FWindow.ConvertButton->setEnabled(false); }
    void RefreshFileList() override { FWindow.FileListBox1->Update(); }
    std::unique_ptr<TBackupPrompt> CreateBackupPrompt() override {
        return std::make_unique<TForm2BackupPrompt>(&FWindow);
    }

private:
    TSveltorMain& FWindow;
};

} // namespace

std::string ClockText(int hour, int minute, int second) {
    char text[16];
    std::snprintf(text, sizeof text, "%2d:%02d:%02d", hour, minute, second);
    return text;
}

QPixmap ConvertGlyph() {
    QPixmap glyph(hand_xpm);
    // The bottom-left pixel's colour is the background, drawn transparent.
    const QImage image = glyph.toImage();
    glyph.setMask(
        QBitmap::fromImage(image.createMaskFromColor(image.pixel(0, image.height() - 1))));
    return glyph;
}

QPixmap ProgramIconPicture() {
    return QPixmap(sveltor_xpm);
}

TSveltorMain::TSveltorMain(QWidget* owner) : TForm(owner) {
    setupUi(this);
    setObjectName(QStringLiteral("SveltorMain"));
    // The platform's default window: resizable, with minimize and maximize boxes.
    setWindowFlags(Qt::Window | Qt::WindowTitleHint | Qt::WindowSystemMenuHint |
                   Qt::WindowMinMaxButtonsHint | Qt::WindowCloseButtonHint);
    setWindowIcon(ProgramIconPicture());
    move(388, 111);
    resize(400, 273);

    ConvertButton->SetGlyph(ConvertGlyph(), 2);
    ConvertButton->SetHint(QStringLiteral("Do Operation"));
    BitBtn1->SetKind(TBitBtn::bkClose);
    // Enter in the lists must not reach the form's buttons.
    BitBtn1->setAutoDefault(false);
    Panel1->SetCaption(QString());
    Panel1->SetBevels(TPanel::bvLowered, TPanel::bvNone);
    DirectoryListBox1->FileList = FileListBox1;
    DirectoryListBox1->DriveCombo = DriveComboBox1;
    DriveComboBox1->DirList = DirectoryListBox1;
    DriveComboBox1->DirectoryChanged(DirectoryListBox1->Directory());
    TStatusPanel& messages = StatusBar1->Panels.Add();
    messages.SetText(QStringLiteral("Ready"));
    messages.SetWidth(320);
    TStatusPanel& clock = StatusBar1->Panels.Add();
    clock.SetText(QStringLiteral("Time:"));
    clock.SetWidth(10);

    Timer1 = new TTimer(this);
    PopupMenu1 = new TPopupMenu(this);
    Version1 = new TMenuItem(PopupMenu1);
    Version1->SetCaption(QStringLiteral("About..."));
    PopupMenu1->addAction(Version1);
    PopupMenu = PopupMenu1;

    MediaPlayer1 = new TMediaPlayer(this, MakeSequencer);
    MediaPlayer1->setGeometry(168, 216, 85, 25);
    MediaPlayer1->SetEnabled(false);
    Loaded();
    // AutoOpen: the start-up device. Without a usable sequencer the window is not made.
    MediaPlayer1->Loaded();

    // The events, attached after the designed states are in place.
    OnActivate = [this](QObject* s) { FormActivate(s); };
    OnDestroy = [this](QObject* s) { FormDestroy(s); };
    DirectoryListBox1->OnChange = [this](QObject* s) { DirectoryListBox1Change(s); };
    FileListBox1->OnClick = [this](QObject* s) { FileListBox1Click(s); };
    ConvertButton->OnClick = [this](QObject* s) { ConvertButtonClick(s); };
    Timer1->OnTimer = [this](QObject* s) { Timer1Timer(s); };
    Version1->OnClick = [this](QObject* s) { Version1Click(s); };
    RadioButton1->OnClick = [this](QObject* s) { RadioButton1Click(s); };
    RadioButton2->OnClick = [this](QObject* s) { RadioButton2Click(s); };
}

TSveltorMain::~TSveltorMain() {
    // The history is written while every component still exists.
    DoDestroy();
}

void TSveltorMain::resizeEvent(QResizeEvent* event) {
    TForm::resizeEvent(event);
    // Only the status bar follows the bottom edge.
    StatusBar1->setGeometry(0, height() - StatusBar1->height(), width(), StatusBar1->height());
}

void TSveltorMain::FormActivate(QObject*) {
    if (FirstActivateDone)
        return;
    StartDir = DirectoryListBox1->Directory();
    if (!FHistoryFailed) {
        try {
            ReadDirHistory(*DirectoryListBox1);
        } catch (...) {
            FHistoryFailed = true;
            throw;
        }
    }
    FileListBox1->SetMask(MidiMask);
    ConvertButton->setEnabled(false);
    MediaPlayer1->SetWait(false);
    FirstActivateDone = true;
}

void TSveltorMain::DirectoryListBox1Change(QObject*) {
    FileListBox1->SetDirectory(DirectoryListBox1->Directory());
}

void TSveltorMain::RadioButton1Click(QObject*) {
    FileListBox1->SetMask(MidiMask);
    MediaPlayer1->SetEnabled(true);
}

void TSveltorMain::RadioButton2Click(QObject*) {
    FileListBox1->SetMask(AllMask);
    MediaPlayer1->SetEnabled(false);
}

void TSveltorMain::FileListBox1Click(QObject*) {
    const std::string path = FileListBox1->FileName();
    if (path.empty()) {
        StatusBar1->Panels[0].SetText(QStringLiteral("No file"));
        ConvertButton->setEnabled(false);
        return;
    }
    StatusBar1->Panels[0].SetText(FromAnsi(path));
    ConvertButton->setEnabled(true);
    if (FileListBox1->Mask() != MidiMask)
        return;
    MediaPlayer1->SetEnabled(true);
    MediaPlayer1->SetFileName(path);
    try {
        MediaPlayer1->Open();
        ConvertButton->setEnabled(false);
    } catch (...) {
        // The sequencer's refusal is the answer: the file still needs converting.
        MediaPlayer1->SetEnabled(false);
    }
}

void TSveltorMain::ConvertButtonClick(QObject*) {
    TWindowConvertHost host(*this);
    ConvertFile(FileListBox1->FileName(), DirectoryListBox1->Directory(), host);
}

void TSveltorMain::FormDestroy(QObject*) {
    WriteDirHistory(StartDir, *DirectoryListBox1);
}

void TSveltorMain::Timer1Timer(QObject*) {
    const std::time_t now = std::time(nullptr);
    std::tm local{};
    ::localtime_r(&now, &local);
    StatusBar1->Panels[1].SetText(
        QString::fromStdString(ClockText(local.tm_hour, local.tm_min, local.tm_sec)));
}

void TSveltorMain::Version1Click(QObject*) {
    // Destroyed on every way out, the modal run included.
    struct TAboutBoxGuard {
        ~TAboutBoxGuard() {
            delete AboutBox;
            AboutBox = nullptr;
        }
    } guard;
    AboutBox = new TAboutBox(this);
    AboutBox->ShowModal();
}

} // namespace sveltor
