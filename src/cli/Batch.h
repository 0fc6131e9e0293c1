#pragma once

#include <cstddef>
#include <functional>
#include <string>
#include <vector>

namespace sveltor::cli {

enum class TBackupKind { Bak, Dollar, None };

struct TBatchOptions {
    TBackupKind Backup = TBackupKind::Bak;
    bool Recursive = false;
    bool Check = false;    // report only, change nothing
    bool AllFiles = false; // walks take every file, not only *.mid
    bool Quiet = false;
};

// One file's or folder's line of the report.
struct TItemResult {
    std::string Path;
    std::string Text; // the window's status text, or the error's message
    bool Failed = false;
    bool Converted = false; // or, with --check, would be
};

// The files a batch works on, in order: files named by the user are always taken;
// folders are walked (with Recursive) in name order, taking regular files that match
// *.mid, case ignored, unless AllFiles. Hidden entries and symlinks met on a walk are
// passed over, as the window does not show them. Folders that cannot be walked, and
// folders named without Recursive, come back as failed results.
struct TWork {
    std::vector<std::string> Files;
    std::vector<TItemResult> Problems;
};
TWork CollectFiles(const std::vector<std::string>& paths, const TBatchOptions& options);

// True when a name matches "*.mid" with case ignored.
bool IsMidiName(const std::string& name) noexcept;

// Converts one file as the window would, with the backup choice made by the options.
// Never throws: a failure comes back as a failed result.
TItemResult ConvertOne(const std::string& path, const TBatchOptions& options);

} // namespace sveltor::cli
