#pragma once

#include <sys/stat.h>
#include <sys/types.h>

#include <cstddef>
#include <cstdint>
#include <string>

namespace sveltor {

// An open file, closed when the object goes. Every failing call raises a member of the
// Exception family that names the file and the cause.
class TFileStream {
public:
    // Opens an existing regular file for reading and writing, held exclusively with a
    // non-blocking flock. Refuses, without blocking, a missing file, anything that is
    // not a regular file (directory, FIFO, device), a file with no write permission bit
    // (root included) and a file another program holds locked. Raises EFOpenError.
    static TFileStream OpenExclusive(const std::string& path);

    // Opens an existing regular file for reading only, held with a shared lock, so an
    // exclusive holder keeps it out. Never blocks. Raises EFOpenError.
    static TFileStream OpenRead(const std::string& path);

    // Opens an existing regular file for reading only, held with an exclusive lock, so
    // no other holder may share it meanwhile. Never blocks. Raises EFOpenError.
    static TFileStream OpenReadExclusive(const std::string& path);

    // Creates a file for writing, or empties an existing regular file, held with an
    // exclusive lock. Never blocks; refuses a FIFO, device or folder of that name and a
    // file another program holds. Raises EFCreateError.
    static TFileStream Rewrite(const std::string& path, mode_t mode = 0666);

    // Creates a new file for writing; an existing name, a symlink included, is never
    // truncated or followed. Raises EFCreateError.
    static TFileStream CreateExclusive(const std::string& path, mode_t mode = 0600);

    // Creates the file that will be path, in directory, without a name until Link gives
    // it one, where the file system allows; otherwise as CreateExclusive(path). Raises
    // EFCreateError.
    static TFileStream CreateTemporary(const std::string& directory, const std::string& path);
    // Gives a file made by CreateTemporary its name, never replacing an existing file or
    // following a link. Raises EFCreateError.
    void Link();
    // True while the file has no name yet.
    bool Unnamed() const noexcept { return FUnnamed; }

    TFileStream(TFileStream&& other) noexcept;
    TFileStream& operator=(TFileStream&& other) noexcept;
    TFileStream(const TFileStream&) = delete;
    TFileStream& operator=(const TFileStream&) = delete;
    ~TFileStream();

    const std::string& FileName() const noexcept { return FFileName; }
    bool IsOpen() const noexcept { return FHandle >= 0; }

    // The file's status as it stands now. Raises EReadError.
    struct stat Status() const;
    std::uint64_t Size() const { return static_cast<std::uint64_t>(Status().st_size); }

    // Reads exactly count bytes from offset; fewer raises EReadError.
    void ReadBuffer(void* buffer, std::size_t count, std::uint64_t offset = 0);
    // Reads up to count bytes from offset and returns how many; EReadError on failure.
    std::size_t ReadSome(void* buffer, std::size_t count, std::uint64_t offset = 0);
    // Writes all count bytes at the current position; a short write raises EWriteError.
    void WriteBuffer(const void* buffer, std::size_t count);
    // Makes the file's data durable (fsync). Raises EWriteError.
    void Flush();
    // Gives the file the permission bits and owner of another. Raises EWriteError,
    // except that a user who may not give files away keeps the file as their own.
    void CopyModeAndOwner(const struct stat& from);
    // Closes the file and reports a failing close (EWriteError), which on some file
    // systems is the first news of a lost write.
    void Close();

private:
    TFileStream(std::string fileName, int handle) noexcept
        : FFileName(std::move(fileName)), FHandle(handle) {}
    void Release() noexcept;

    std::string FFileName;
    int FHandle = -1;
    bool FUnnamed = false;
};

// Gives a file a new name; an existing file at the new name is never replaced
// (renameat2 with RENAME_NOREPLACE, or link and unlink where that is unsupported).
// Raises EInOutError.
void RenameFile(const std::string& from, const std::string& to);

// Removes a file. Raises EInOutError.
void DeleteFile(const std::string& path);

// Removes a file if it is there, reporting nothing; for cleaning up on a failure path.
void DeleteFileQuietly(const std::string& path) noexcept;

// Makes the names in a directory durable (fsync on the directory). Raises EInOutError.
void SyncDirectory(const std::string& directory);

// The directory part of a path, without its final separator: "/a/b" for "/a/b/c",
// "/" for "/c", "." for "c".
std::string DirectoryOfPath(const std::string& path);

// A directory followed by one separator and a name.
std::string JoinPath(const std::string& directory, const std::string& name);

} // namespace sveltor
