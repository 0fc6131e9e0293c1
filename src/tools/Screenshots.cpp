// Writes PNG pictures of the program's windows, for the README, and the program's icon:
// each window is laid out for real on the offscreen platform and grabbed. The main
// window shows a demo folder of its own.
#include "Unit1.h"
#include "Unit2.h"
#include "Unit3.h"

#include <QApplication>
#include <QDir>
#include <QPixmap>
#include <QTemporaryDir>

#include <fstream>

#include <cstdio>
#include <cstdlib>

#include <unistd.h>

using namespace sveltor;

namespace {

bool Save(QWidget& window, const QDir& folder, const char* name) {
    window.show();
    QApplication::processEvents();
    const QString path = folder.filePath(QString::fromUtf8(name));
    if (!window.grab().save(path)) {
        std::fprintf(stderr, "cannot write %s\n", qPrintable(path));
        return false;
    }
    std::printf("%s\n", qPrintable(path));
    return true;
}

} // namespace

int main(int argc, char** argv) {
    ::setenv("QT_QPA_PLATFORM", "offscreen", 1);
    QApplication app(argc, argv);
    // Arguments: where the pictures go, and where the icon goes.
    const QDir folder(
        QDir(argc > 1 ? QString::fromLocal8Bit(argv[1]) : QStringLiteral("docs")).absolutePath());
    const QString iconFolder =
        argc > 2 ? QDir(QString::fromLocal8Bit(argv[2])).absolutePath() : QString();

    bool ok = true;
    QTemporaryDir demo;
    for (const char* name : {"BALLAD.MID", "JAZZ.MID", "RAGTIME.MID", "WALTZ.MID"}) {
        std::ofstream file(demo.filePath(QString::fromUtf8(name)).toStdString(), std::ios::binary);
        file << std::string(200, '\0');
    }
    if (::chdir(demo.path().toLocal8Bit().constData()) != 0)
        return 1;
    TSveltorMain::MakeSequencer = [] {
        return std::make_unique<TFluidSequencer>(TSequencerOptions{.Drivers = {}});
    };
    {
        TSveltorMain window(nullptr);
        window.show();
        window.FormActivate(&window);
        window.FileListBox1->setCurrentRow(1);
        window.FileListBox1Click(window.FileListBox1);
        window.Timer1Timer(&window);
        ok = Save(window, folder, "main-window.png") && ok;
        FirstActivateDone = false;
    }
    if (!iconFolder.isEmpty())
        ok = ProgramIconPicture().save(iconFolder + "/sveltor.png") && ok;

    TSplitPath parts("/home/user/Music/SONG.MID", ProgramCodePage());
    TForm2 backup(nullptr);
    backup.SetupBackupNames(parts);
    ok = Save(backup, folder, "backup-dialog.png") && ok;

    TAboutBox about(nullptr);
    ok = Save(about, folder, "about-box.png") && ok;
    return ok ? 0 : 1;
}
