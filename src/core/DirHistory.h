#pragma once

#include <string>

namespace sveltor {

// The name of the directory history file: the last directory, as the bytes of its path,
// with no terminator.
inline constexpr const char* DirHistoryName = "dir.hst";

// What the history needs of the directory list: its directory, read and set. Setting
// an empty text or the directory it shows changes nothing; a directory that cannot be
// entered raises EInOutError and changes nothing.
class TDirectoryList {
public:
    virtual ~TDirectoryList() = default;
    virtual std::string GetDirectory() const = 0;
    virtual void SetDirectory(const std::string& directory) = 0;
};

// Moves list to the directory stored in "dir.hst" of the process's current directory.
// A missing file, one that is not a regular file (a folder, a FIFO) and one another
// program holds exclusively are passed over in silence. The exclusive open raises
// EFOpenError, a short read EReadError, and a directory that cannot be entered
// EInOutError. At most a path's length is read, however large the file.
void ReadDirHistory(TDirectoryList& list);

// The history file's name in startDir: startDir, the separator, "dir.hst".
std::string DirHistoryPath(const std::string& startDir);

// Writes list's directory into "dir.hst" in startDir, replacing what was there. Does
// nothing when startDir is empty (no activation ever took it). Raises EFCreateError when
// the file cannot be created, EWriteError when not all of it is written.
void WriteDirHistory(const std::string& startDir, const TDirectoryList& list);

} // namespace sveltor
