#include "FileCtrls.h"

#include "Ansi.h"
#include "Exception.h"
#include "Listing.h"
#include "Volumes.h"

#include <QKeyEvent>
#include <QStyle>

#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <climits>

namespace sveltor {
namespace {

constexpr int PathRole = Qt::UserRole;

// Changes the process's current directory, or raises EInOutError.
void ChangeDirectory(const std::string& directory) {
    if (::chdir(directory.c_str()) != 0)
        throw EInOutError(FileErrorMessage("Cannot change to directory", directory, errno), errno);
}

std::string CurrentDirectory() {
    char buffer[PATH_MAX];
    if (::getcwd(buffer, sizeof buffer) == nullptr)
        return "/";
    return buffer;
}

QListWidgetItem* MakeItem(const std::string& text, const std::string& path) {
    auto* item = new QListWidgetItem(FromAnsi(text));
    item->setData(PathRole, QByteArray::fromStdString(path));
    return item;
}

std::string ItemPath(const QListWidgetItem* item) {
    return item->data(PathRole).toByteArray().toStdString();
}

} // namespace

TFileListBox::TFileListBox(QWidget* parent) : QListWidget(parent) {
    setUniformItemSizes(true);
    setSelectionMode(QAbstractItemView::SingleSelection);
    connect(this, &QListWidget::itemClicked, this, [this] { Clicked(); });
    FDirectory = CurrentDirectory();
    Reload();
}

void TFileListBox::SetMask(const std::string& mask) {
    if (mask == FMask)
        return;
    FMask = mask;
    Reload();
}

void TFileListBox::SetDirectory(const std::string& directory) {
    const std::string target = AbsoluteDirectory(directory);
    if (target == FDirectory)
        return;
    ChangeDirectory(target);
    FDirectory = target;
    Reload();
}

std::string TFileListBox::FileName() const {
    const QListWidgetItem* item = currentItem();
    if (item == nullptr || !item->isSelected())
        return {};
    const std::string name = ItemPath(item);
    return FDirectory.back() == '/' ? FDirectory + name : FDirectory + "/" + name;
}

void TFileListBox::Update() {
    Reload();
}

void TFileListBox::Reload() {
    FLoading = true;
    setUpdatesEnabled(false);
    clear();
    std::vector<std::string> names;
    try {
        names = ListFiles(FDirectory, FMask);
    } catch (const Exception&) {
        // A folder gone from under the list shows empty; the directory list says why
        // when the user moves.
    }
    for (const std::string& name : names)
        addItem(MakeItem(name, name));
    setCurrentItem(nullptr);
    setUpdatesEnabled(true);
    FLoading = false;
}

void TFileListBox::Clicked() {
    if (!FLoading && OnClick)
        OnClick(this);
}

void TFileListBox::keyPressEvent(QKeyEvent* event) {
    const int before = currentRow();
    const bool selectedBefore = currentItem() != nullptr && currentItem()->isSelected();
    QListWidget::keyPressEvent(event);
    const bool selectedAfter = currentItem() != nullptr && currentItem()->isSelected();
    if (currentRow() != before || selectedAfter != selectedBefore)
        Clicked();
}

TDirectoryListBox::TDirectoryListBox(QWidget* parent) : QListWidget(parent) {
    setSelectionMode(QAbstractItemView::SingleSelection);
    FDirectory = CurrentDirectory();
    connect(this, &QListWidget::itemActivated, this,
            [this](QListWidgetItem* item) { SetDirectory(ItemPath(item)); });
    Rebuild();
}

void TDirectoryListBox::SetDirectory(const std::string& directory) {
    if (directory.empty() || directory == FDirectory)
        return;
    const std::string target = AbsoluteDirectory(directory);
    if (target == FDirectory)
        return;
    struct stat st {};
    if (::stat(target.c_str(), &st) != 0)
        throw EInOutError(FileErrorMessage("Cannot change to directory", target, errno), errno);
    if (!S_ISDIR(st.st_mode))
        throw EInOutError(FileErrorMessage("Cannot change to directory", target, ENOTDIR), ENOTDIR);
    ChangeDirectory(target);
    FDirectory = target;
    Rebuild();
    if (FileList != nullptr)
        FileList->SetDirectory(FDirectory);
    if (DriveCombo != nullptr)
        DriveCombo->DirectoryChanged(FDirectory);
    if (OnChange)
        OnChange(this);
}

void TDirectoryListBox::Update() {
    Rebuild();
}

void TDirectoryListBox::Rebuild() {
    setUpdatesEnabled(false);
    clear();
    const QIcon open = style()->standardIcon(QStyle::SP_DirOpenIcon);
    const QIcon closed = style()->standardIcon(QStyle::SP_DirClosedIcon);
    // The root, then each ancestor one step further in, down to the folder itself.
    std::vector<std::string> chain = {"/"};
    for (std::size_t pos = FDirectory.find('/', 1); FDirectory != "/";
         pos = FDirectory.find('/', pos + 1)) {
        chain.push_back(FDirectory.substr(0, pos));
        if (pos == std::string::npos)
            break;
    }
    QListWidgetItem* current = nullptr;
    std::size_t depth = 0;
    for (const std::string& path : chain) {
        const std::string name = path == "/" ? path : path.substr(path.find_last_of('/') + 1);
        current = MakeItem(std::string(depth * 2, ' ') + name, path);
        current->setIcon(open);
        addItem(current);
        ++depth;
    }
    std::vector<std::string> subfolders;
    try {
        subfolders = ListSubdirectories(FDirectory);
    } catch (const Exception&) {
        // Removed while shown: only the way up is left.
    }
    const std::string prefix = FDirectory == "/" ? "/" : FDirectory + "/";
    for (const std::string& name : subfolders) {
        QListWidgetItem* item = MakeItem(std::string(depth * 2, ' ') + name, prefix + name);
        item->setIcon(closed);
        addItem(item);
    }
    setCurrentItem(current);
    setUpdatesEnabled(true);
}

TDriveComboBox::TDriveComboBox(QWidget* parent) : QComboBox(parent) {
    Update();
    DirectoryChanged(CurrentDirectory());
    connect(this, &QComboBox::activated, this, [this](int index) {
        const std::string chosen = itemData(index).toByteArray().toStdString();
        SetDrive(chosen);
    });
}

std::string TDriveComboBox::Drive() const {
    return currentData().toByteArray().toStdString();
}

void TDriveComboBox::Update() {
    FVolumes = MountedVolumes();
    const std::string shown = Drive();
    clear();
    for (const std::string& volume : FVolumes)
        addItem(FromAnsi(volume), QByteArray::fromStdString(volume));
    const int index = findData(QByteArray::fromStdString(shown));
    if (index >= 0)
        setCurrentIndex(index);
}

void TDriveComboBox::DirectoryChanged(const std::string& directory) {
    const std::string volume = VolumeOf(directory, FVolumes);
    FCurrent[volume] = directory;
    const int index = findData(QByteArray::fromStdString(volume));
    if (index >= 0)
        setCurrentIndex(index);
}

void TDriveComboBox::SetDrive(const std::string& volume) {
    const std::string shown = DirList != nullptr ? DirList->Directory() : std::string();
    Update();
    try {
        if (std::find(FVolumes.begin(), FVolumes.end(), volume) == FVolumes.end())
            throw EInOutError(FileErrorMessage("Cannot change to drive", volume, ENODEV,
                                               "The volume is no longer mounted"),
                              ENODEV);
        const auto remembered = FCurrent.find(volume);
        if (DirList != nullptr)
            DirList->SetDirectory(remembered != FCurrent.end() ? remembered->second : volume);
    } catch (...) {
        // Back to the volume the list is on.
        if (!shown.empty())
            DirectoryChanged(shown);
        throw;
    }
}

} // namespace sveltor
