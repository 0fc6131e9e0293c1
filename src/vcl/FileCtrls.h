#pragma once

#include <QComboBox>
#include <QListWidget>

#include "DirHistory.h"

#include <functional>
#include <map>
#include <string>
#include <vector>

#include "Forms.h"

namespace sveltor {

// The regular files of a folder that match Mask, sorted, hidden files left out. Paths
// are byte strings: a name that is not valid UTF-8 is shown as well as it can be and
// still selected byte for byte.
class TFileListBox : public QListWidget {
    Q_OBJECT

public:
    explicit TFileListBox(QWidget* parent);

    const std::string& Mask() const noexcept { return FMask; }
    // A different mask reloads the list; the same does nothing.
    void SetMask(const std::string& mask);
    const std::string& Directory() const noexcept { return FDirectory; }
    // Points the list at a folder: the process's current directory follows and the list
    // reloads. The folder it shows already changes nothing. Raises EInOutError.
    void SetDirectory(const std::string& directory);
    // The selected file's path, or empty when none is selected.
    std::string FileName() const;
    // Reads the folder again.
    void Update();

    // Raised when the user selects a file by mouse or keyboard; never by a reload.
    TNotifyEvent OnClick;

protected:
    void keyPressEvent(QKeyEvent* event) override;

private:
    void Reload();
    void Clicked();

    std::string FDirectory;
    std::string FMask = "*.*";
    bool FLoading = false;
};

class TDriveComboBox;

// A folder's ancestors and subfolders, the folder itself selected. Double-click or
// Enter on an entry moves there.
class TDirectoryListBox : public QListWidget, public TDirectoryList {
    Q_OBJECT

public:
    // Starts on the process's current directory.
    explicit TDirectoryListBox(QWidget* parent);

    const std::string& Directory() const noexcept { return FDirectory; }
    std::string GetDirectory() const override { return FDirectory; }
    // An empty text or the folder shown does nothing. Otherwise the text is resolved
    // (relative to the current directory), the process's current directory moves there,
    // the list rebuilds, FileList is pointed there and OnChange is raised. A folder
    // that cannot be entered raises EInOutError and changes nothing.
    void SetDirectory(const std::string& directory) override;
    // Reads the folder again.
    void Update();

    TFileListBox* FileList = nullptr;
    TDriveComboBox* DriveCombo = nullptr;
    TNotifyEvent OnChange;

private:
    void Rebuild();
    std::string FDirectory;
};

// The mounted volumes, each remembering its own current directory, as drives do.
// Choosing one moves DirList to that volume's current directory.
class TDriveComboBox : public QComboBox {
    Q_OBJECT

public:
    // Starts on the volume of the process's current directory.
    explicit TDriveComboBox(QWidget* parent);

    TDirectoryListBox* DirList = nullptr;
    // The volume shown.
    std::string Drive() const;
    // Moves to the volume of a directory the list went to, and remembers it there.
    void DirectoryChanged(const std::string& directory);
    // Chooses a volume as the user does: DirList goes to its current directory. A
    // volume that has gone away raises EInOutError.
    void SetDrive(const std::string& volume);
    // Reads the mounted volumes again.
    void Update();

private:
    std::vector<std::string> FVolumes;
    std::map<std::string, std::string> FCurrent; // volume -> its current directory
};

} // namespace sveltor
