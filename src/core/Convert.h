#pragma once

#include "CodePage.h"
#include "SplitPath.h"

#include <memory>
#include <string>

namespace sveltor {

// What one Convert operation ended with; each has its status text.
enum class TConvertOutcome {
    FileTooSmall,
    NoHeader,
    MaybeBackup,
    HeaderFound, // only ever shown while the backup choice is open
    Cancelled,
    ConvertedWithBackup,
    ConvertedNoBackup,
};

// The status text of an outcome, byte for byte as the window shows it.
const char* ConvertMessage(TConvertOutcome outcome) noexcept;

// The backup choice of one conversion: made once, asked once, read once after the
// renames, and destroyed when the operation ends, whichever way it ends.
class TBackupPrompt {
public:
    virtual ~TBackupPrompt() = default;
    // Sets up the backup names in parts and asks the user. True when confirmed.
    virtual bool Confirm(TSplitPath& parts) = 0;
    // Whether the user wants the backup kept.
    virtual bool BackupWanted() const = 0;
};

// What the Convert operation needs of the window that runs it.
class TConvertHost {
public:
    virtual ~TConvertHost() = default;
    virtual void ShowStatus(const std::string& text) = 0;
    virtual void DisableConvert() = 0;
    virtual void RefreshFileList() = 0;
    virtual std::unique_ptr<TBackupPrompt> CreateBackupPrompt() = 0;
};

// Rewrites the file at sourcePath without its 128-byte MacBinary header, keeping the
// unchanged file under the backup name the user chooses, or none. The stripped copy is
// written to MID5.TMP in listedDirectory first. Status texts and requests go to host.
// Platform failures raise the Exception family; on any failure no file is lost, the
// source is either unchanged or fully converted, and no partial MID5.TMP is left.
TConvertOutcome ConvertFile(const std::string& sourcePath, const std::string& listedDirectory,
                            TConvertHost& host, const TCodePage& codePage = ProgramCodePage());

// The name of the temporary file, formed from the prefix "MID" and the number 5.
inline constexpr const char* TempFileName = "MID5.TMP";

} // namespace sveltor
