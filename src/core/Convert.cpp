#include "Convert.h"

#include "Exception.h"
#include "FileSystem.h"
#include "MacBinary.h"
#include "SysCalls.h"

#include <sys/mman.h>

#include <cerrno>
#include <cstdint>
#include <utility>

namespace sveltor {
namespace {

// Removes the temporary file on every way out until the stripped copy has taken the
// source's name. It only ever removes a file this operation created.
class TTempFileGuard {
public:
    explicit TTempFileGuard(std::string path) noexcept : FPath(std::move(path)) {}
    TTempFileGuard(const TTempFileGuard&) = delete;
    TTempFileGuard& operator=(const TTempFileGuard&) = delete;
    ~TTempFileGuard() {
        if (!FPath.empty())
            DeleteFileQuietly(FPath);
    }
    void Release() noexcept { FPath.clear(); }
    void Arm(std::string path) noexcept { FPath = std::move(path); }

private:
    std::string FPath;
};

// The whole file in one buffer of its size, mapped directly with its pages made at once:
// faulting them in one by one during the read costs more than the read itself.
class TFileBuffer {
public:
    TFileBuffer(TFileStream& file, std::uint64_t size) : FSize(static_cast<std::size_t>(size)) {
        if (size > SIZE_MAX / 2)
            FailNoMemory(file);
        void* p =
            sys::mmap(FSize, PROT_READ | PROT_WRITE, MAP_PRIVATE | MAP_ANONYMOUS | MAP_POPULATE);
        if (p == MAP_FAILED)
            FailNoMemory(file);
        FData = static_cast<unsigned char*>(p);
        file.ReadBuffer(FData, FSize);
    }
    TFileBuffer(const TFileBuffer&) = delete;
    TFileBuffer& operator=(const TFileBuffer&) = delete;
    ~TFileBuffer() {
        if (FData != nullptr)
            ::munmap(FData, FSize);
    }
    const unsigned char* Data() const noexcept { return FData; }
    std::size_t Size() const noexcept { return FSize; }

private:
    [[noreturn]] static void FailNoMemory(const TFileStream& file) {
        throw EOutOfMemory(FileErrorMessage("Not enough memory to read", file.FileName(), ENOMEM),
                           ENOMEM);
    }

    std::size_t FSize;
    unsigned char* FData = nullptr;
};

// Puts the source back where a failed exchange left it under the backup name, and says
// where the original is when even that fails.
[[noreturn]] void RestoreAndThrow(const Exception& failure, const std::string& backupPath,
                                  const std::string& sourcePath) {
    try {
        RenameFile(backupPath, sourcePath);
    } catch (const Exception&) {
        throw EInOutError(failure.Message() + "; the unchanged file stays as \"" + backupPath +
                              "\"",
                          failure.ErrorCode());
    }
    throw EInOutError(failure.Message(), failure.ErrorCode());
}

} // namespace

const char* ConvertMessage(TConvertOutcome outcome) noexcept {
    switch (outcome) {
    case TConvertOutcome::FileTooSmall:
        return "File too small";
    case TConvertOutcome::NoHeader:
        return "No header";
    case TConvertOutcome::MaybeBackup:
        return "It may be a Backup file.";
    case TConvertOutcome::HeaderFound:
        return "Header found";
    case TConvertOutcome::Cancelled:
        return "Cancelled";
    case TConvertOutcome::ConvertedWithBackup:
        return "Convert done.Made Backup";
    case TConvertOutcome::ConvertedNoBackup:
        return "Convert done.No Backup";
    }
    return "";
}

TConvertOutcome ConvertFile(const std::string& sourcePath, const std::string& listedDirectory,
                            TConvertHost& host, const TCodePage& codePage) {
    const auto report = [&host](TConvertOutcome outcome) {
        host.ShowStatus(ConvertMessage(outcome));
        return outcome;
    };

    // The source stays open and locked until the exchange is over, so no other copy of
    // the program can start on it between our read and our renames.
    TFileStream source = TFileStream::OpenExclusive(sourcePath);
    const struct stat status = source.Status();
    const auto size = static_cast<std::uint64_t>(status.st_size);
    if (size <= MacBinHeaderLength)
        return report(TConvertOutcome::FileTooSmall);

    TSplitPath parts(sourcePath.c_str(), codePage);
    // A path the fixed buffers cut would send the renames to another file.
    const bool pathFits = !parts.Truncated() && sourcePath == parts.MergedPath;

    const TFileBuffer buffer(source, size);
    if (!HasMacBinHeader(buffer.Data(), buffer.Size(), MacBinKindMidi)) {
        report(TConvertOutcome::NoHeader);
        host.DisableConvert();
        return TConvertOutcome::NoHeader;
    }
    if (!pathFits)
        throw EInOutError(FileErrorMessage("Cannot convert", sourcePath, ENAMETOOLONG),
                          ENAMETOOLONG);
    if (parts.GetName()[0] == '$')
        return report(TConvertOutcome::MaybeBackup);

    report(TConvertOutcome::HeaderFound);
    const std::unique_ptr<TBackupPrompt> prompt = host.CreateBackupPrompt();
    if (!prompt->Confirm(parts))
        return report(TConvertOutcome::Cancelled);

    const std::string backupPath = parts.Merge();
    if (parts.Truncated())
        throw EInOutError(
            FileErrorMessage("Cannot make a backup name for", sourcePath, ENAMETOOLONG),
            ENAMETOOLONG);
    const std::string tempPath = JoinPath(listedDirectory, TempFileName);

    // Refused before the copy is made; Link below refuses again if one appears meanwhile.
    if (struct stat st{}; ::lstat(tempPath.c_str(), &st) == 0)
        throw EFCreateError(tempPath, EEXIST);
    TFileStream temp = TFileStream::CreateTemporary(listedDirectory, tempPath);
    TTempFileGuard tempGuard(temp.Unnamed() ? std::string() : tempPath);
    temp.WriteBuffer(buffer.Data() + MacBinHeaderLength, buffer.Size() - MacBinHeaderLength);
    temp.CopyModeAndOwner(status);
    temp.Flush();
    // MID5.TMP appears only now, whole and on disk.
    if (temp.Unnamed()) {
        temp.Link();
        tempGuard.Arm(tempPath);
    }
    temp.Close();

    RenameFile(sourcePath, backupPath);
    try {
        RenameFile(tempPath, sourcePath);
    } catch (const Exception& failure) {
        RestoreAndThrow(failure, backupPath, sourcePath);
    }
    tempGuard.Release();

    // The file is converted from here on: whatever fails now, the window must show the
    // new state.
    try {
        const std::string directory = DirectoryOfPath(sourcePath);
        SyncDirectory(directory);
        TConvertOutcome outcome = TConvertOutcome::ConvertedWithBackup;
        if (!prompt->BackupWanted()) {
            DeleteFile(parts.Merge());
            SyncDirectory(directory);
            outcome = TConvertOutcome::ConvertedNoBackup;
        }
        report(outcome);
        host.RefreshFileList();
        host.DisableConvert();
        return outcome;
    } catch (...) {
        host.RefreshFileList();
        host.DisableConvert();
        throw;
    }
}

} // namespace sveltor
