// Writes PNG pictures of the program's windows, for the README: each window is laid out
// for real on the offscreen platform and grabbed.
#include "Unit2.h"
#include "Unit3.h"

#include <QApplication>
#include <QDir>
#include <QPixmap>

#include <cstdio>
#include <cstdlib>

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
    const QDir folder(argc > 1 ? QString::fromLocal8Bit(argv[1]) : QStringLiteral("docs"));

    bool ok = true;
    TSplitPath parts("/home/user/Music/SONG.MID", ProgramCodePage());
    TForm2 backup(nullptr);
    backup.SetupBackupNames(parts);
    ok = Save(backup, folder, "backup-dialog.png") && ok;

    TAboutBox about(nullptr);
    ok = Save(about, folder, "about-box.png") && ok;
    return ok ? 0 : 1;
}
