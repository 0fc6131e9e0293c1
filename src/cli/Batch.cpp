#include "Batch.h"

#include "BackupNames.h"
#include "Convert.h"
#include "Exception.h"
#include "FileSystem.h"

#include <dirent.h>
#include <sys/stat.h>

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <memory>

namespace sveltor::cli {
namespace {

// The backup choice made in advance by the command line.
class TPresetPrompt : public TBackupPrompt {
public:
    TPresetPrompt(const TBatchOptions& options, std::string& checkProblem)
        : FOptions(options), FCheckProblem(checkProblem) {}

    bool Confirm(TSplitPath& parts) override {
        TBackupNames names;
        names.SetupBackupNames(parts);
        if (FOptions.Backup == TBackupKind::Dollar)
            names.ApplyOption2();
        if (!FOptions.Check)
            return true;
        // A dry run stops here, after looking for what would stop the real one.
        const std::string backup = parts.Merge();
        struct stat st {};
        if (parts.Truncated())
            FCheckProblem =
                FileErrorMessage("Cannot make a backup name for", parts.MergedPath, ENAMETOOLONG);
        else if (::lstat(backup.c_str(), &st) == 0)
            FCheckProblem = FileErrorMessage("Cannot rename to", backup, EEXIST);
        return false;
    }
    bool BackupWanted() const override { return FOptions.Backup != TBackupKind::None; }

private:
    const TBatchOptions& FOptions;
    std::string& FCheckProblem;
};

class TBatchHost : public TConvertHost {
public:
    TBatchHost(const TBatchOptions& options) : FOptions(options) {}
    std::string Status;
    std::string CheckProblem;

    void ShowStatus(const std::string& text) override { Status = text; }
    void DisableConvert() override {}
    void RefreshFileList() override {}
    std::unique_ptr<TBackupPrompt> CreateBackupPrompt() override {
        return std::make_unique<TPresetPrompt>(FOptions, CheckProblem);
    }

private:
    const TBatchOptions& FOptions;
};

void Walk(const std::string& folder, const TBatchOptions& options, TWork& work) {
    std::unique_ptr<DIR, int (*)(DIR*)> dir(::opendir(folder.c_str()), ::closedir);
    if (!dir) {
        work.Problems.push_back(
            {folder, FileErrorMessage("Cannot open folder", folder, errno), true, false});
        return;
    }
    std::vector<std::string> names;
    errno = 0;
    while (const dirent* entry = ::readdir(dir.get())) {
        if (entry->d_name[0] != '.')
            names.emplace_back(entry->d_name);
    }
    if (errno != 0)
        work.Problems.push_back(
            {folder, FileErrorMessage("Cannot read folder", folder, errno), true, false});
    std::sort(names.begin(), names.end());
    for (const std::string& name : names) {
        const std::string path = JoinPath(folder, name);
        struct stat st {};
        if (::lstat(path.c_str(), &st) != 0)
            continue; // gone since the listing
        if (S_ISDIR(st.st_mode))
            Walk(path, options, work);
        else if (S_ISREG(st.st_mode) && (options.AllFiles || IsMidiName(name)))
            work.Files.push_back(path);
    }
}

} // namespace

bool IsMidiName(const std::string& name) noexcept {
    if (name.size() < 4)
        return false;
    const char* tail = name.c_str() + name.size() - 4;
    return tail[0] == '.' && (tail[1] | 0x20) == 'm' && (tail[2] | 0x20) == 'i' &&
           (tail[3] | 0x20) == 'd';
}

TWork CollectFiles(const std::vector<std::string>& paths, const TBatchOptions& options) {
    TWork work;
    for (const std::string& path : paths) {
        struct stat st {};
        if (::stat(path.c_str(), &st) == 0 && S_ISDIR(st.st_mode)) {
            if (options.Recursive)
                Walk(path, options, work);
            else
                work.Problems.push_back({path, "Is a folder (use -r to walk it)", true, false});
        } else {
            // Anything else is the Convert operation's to accept or refuse.
            work.Files.push_back(path);
        }
    }
    return work;
}

TItemResult ConvertOne(const std::string& path, const TBatchOptions& options) {
    TItemResult result{path, {}, false, false};
    TBatchHost host(options);
    try {
        const TConvertOutcome outcome = ConvertFile(path, DirectoryOfPath(path), host);
        result.Text = host.Status;
        switch (outcome) {
        case TConvertOutcome::ConvertedWithBackup:
        case TConvertOutcome::ConvertedNoBackup:
            result.Converted = true;
            break;
        case TConvertOutcome::Cancelled: // only a dry run cancels
            result.Text = host.CheckProblem.empty() ? ConvertMessage(TConvertOutcome::HeaderFound)
                                                    : host.CheckProblem;
            result.Failed = !host.CheckProblem.empty();
            result.Converted = !result.Failed;
            break;
        default:
            break;
        }
    } catch (const std::exception& e) {
        result.Text = e.what();
        result.Failed = true;
    }
    return result;
}

} // namespace sveltor::cli
