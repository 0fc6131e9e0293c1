#include "Convert.h"

#include "BackupNames.h"
#include "Exception.h"
#include "FileSystem.h"
#include "TestFiles.h"

#include "CaseTitle.h"

#include <gtest/gtest.h>

#include <sys/stat.h>
#include <unistd.h>

#include <functional>
#include <optional>

namespace sveltor {
namespace {

using test::Exists;
using test::ListNames;
using test::ReadBytes;
using test::TBytes;
using test::TTempDir;
using test::WriteBytes;

enum class TAnswer { Option1, Option2, NoBackup, Cancel };

// Stands in for the backup dialog and the main window; records what the operation asks.
class TRecordingHost : public TConvertHost {
public:
    TAnswer Answer = TAnswer::Option1;
    // Runs inside the dialog, while the source is held open.
    std::function<void(TSplitPath&)> WhileAsking;
    // Runs when the operation reads the backup choice, after the renames.
    std::function<void()> WhenBackupRead;

    std::vector<std::string> Statuses;
    bool ConvertDisabled = false;
    bool ListRefreshed = false;
    int PromptsMade = 0;
    int PromptsAlive = 0;

    void ShowStatus(const std::string& text) override { Statuses.push_back(text); }
    void DisableConvert() override { ConvertDisabled = true; }
    void RefreshFileList() override { ListRefreshed = true; }

    std::unique_ptr<TBackupPrompt> CreateBackupPrompt() override {
        return std::make_unique<TPrompt>(*this);
    }

private:
    class TPrompt : public TBackupPrompt {
    public:
        explicit TPrompt(TRecordingHost& host) : FHost(host) {
            ++FHost.PromptsMade;
            ++FHost.PromptsAlive;
        }
        ~TPrompt() override { --FHost.PromptsAlive; }
        bool Confirm(TSplitPath& parts) override {
            FNames.SetupBackupNames(parts);
            if (FHost.Answer == TAnswer::Option2)
                FNames.ApplyOption2();
            if (FHost.WhileAsking)
                FHost.WhileAsking(parts);
            return FHost.Answer != TAnswer::Cancel;
        }
        bool BackupWanted() const override {
            if (FHost.WhenBackupRead)
                FHost.WhenBackupRead();
            return FHost.Answer != TAnswer::NoBackup;
        }

    private:
        TRecordingHost& FHost;
        TBackupNames FNames;
    };
};

TBytes Stripped(const TBytes& wrapped) {
    return TBytes(wrapped.begin() + 128, wrapped.end());
}

class ConvertOperation : public testing::Test {
protected:
    TTempDir Dir;
    TRecordingHost Host;
    std::string Source = Dir / "FILE.MID";

    TConvertOutcome Convert(const std::string& source) {
        return ConvertFile(source, Dir.Path(), Host, codepage::Utf8);
    }
    TConvertOutcome Convert() { return Convert(Source); }
};

// Outcomes that change no file.
struct TRefusalCase {
    const char* Title;
    const char* FileName;
    TBytes Content;
    TAnswer Answer;
    std::vector<std::string> Statuses;
    bool ConvertDisabled;
    int Prompts;
};

TBytes WithFirstByte(TBytes bytes, unsigned char first) {
    bytes[0] = first;
    return bytes;
}

TBytes NotMThdAt128() {
    TBytes bytes = test::WrappedMidi();
    bytes[131] = 'x';
    return bytes;
}

const TRefusalCase RefusalCases[] = {
    {"Exactly128BytesIsTooSmall",
     "FILE.MID",
     TBytes(128, 0),
     TAnswer::Option1,
     {"File too small"},
     false,
     0},
    {"EmptyFileIsTooSmall", "FILE.MID", {}, TAnswer::Option1, {"File too small"}, false, 0},
    {"Size129PassesTheSizeTestButHasNoTag",
     "FILE.MID",
     TBytes(129, 0),
     TAnswer::Option1,
     {"No header"},
     true,
     0},
    {"Size131ZeroFirstByteHasNoHeader",
     "FILE.MID",
     TBytes(131, 0),
     TAnswer::Option1,
     {"No header"},
     true,
     0},
    {"PlainMidiHasNoHeader",
     "FILE.MID",
     [] {
         TBytes b = test::CleanMidi();
         b.resize(200, 0);
         return b;
     }(),
     TAnswer::Option1,
     {"No header"},
     true,
     0},
    {"ZeroFirstByteWithoutMThd",
     "FILE.MID",
     NotMThdAt128(),
     TAnswer::Option1,
     {"No header"},
     true,
     0},
    {"NonZeroFirstByte",
     "FILE.MID",
     WithFirstByte(test::WrappedMidi(), 1),
     TAnswer::Option1,
     {"No header"},
     true,
     0},
    {"DollarNameMayBeABackup",
     "$ILE.MID",
     test::WrappedMidi(),
     TAnswer::Option1,
     {"It may be a Backup file."},
     false,
     0},
    {"DollarNameWithoutHeader",
     "$ILE.MID",
     test::CleanMidi(),
     TAnswer::Option1,
     {"File too small"},
     false,
     0},
    {"DollarNameWithoutHeaderLarge",
     "$ILE.MID",
     WithFirstByte(test::WrappedMidi(), 'M'),
     TAnswer::Option1,
     {"No header"},
     true,
     0},
    {"CancelChangesNothing",
     "FILE.MID",
     test::WrappedMidi(),
     TAnswer::Cancel,
     {"Header found", "Cancelled"},
     false,
     1},
};

class ConvertRefusal : public ConvertOperation, public testing::WithParamInterface<TRefusalCase> {};

TEST_P(ConvertRefusal, ReportsAndChangesNoFile) {
    const TRefusalCase& c = GetParam();
    const std::string path = Dir / c.FileName;
    WriteBytes(path, c.Content);
    Host.Answer = c.Answer;

    Convert(path);

    EXPECT_EQ(Host.Statuses, c.Statuses);
    EXPECT_EQ(Host.ConvertDisabled, c.ConvertDisabled);
    EXPECT_FALSE(Host.ListRefreshed);
    EXPECT_EQ(Host.PromptsMade, c.Prompts);
    EXPECT_EQ(Host.PromptsAlive, 0);
    EXPECT_EQ(ReadBytes(path), c.Content);
    EXPECT_EQ(ListNames(Dir.Path()), std::vector<std::string>{c.FileName});
}

INSTANTIATE_TEST_SUITE_P(Cases, ConvertRefusal, testing::ValuesIn(RefusalCases),
                         test::TCaseTitle());

struct TConversionCase {
    const char* Title;
    const char* FileName;
    TAnswer Answer;
    const char* Status;
    std::vector<std::string> NamesAfter;
    const char* BackupName; // nullptr: no backup kept
};

const TConversionCase ConversionCases[] = {
    {"Option1KeepsFileDotBak",
     "FILE.MID",
     TAnswer::Option1,
     "Convert done.Made Backup",
     {"FILE.MID", "FILE.MID.BAK"},
     "FILE.MID.BAK"},
    {"Option2KeepsDollarName",
     "FILE.MID",
     TAnswer::Option2,
     "Convert done.Made Backup",
     {"$ILE.MID", "FILE.MID"},
     "$ILE.MID"},
    {"NoBackupLeavesOnlyTheFile",
     "FILE.MID",
     TAnswer::NoBackup,
     "Convert done.No Backup",
     {"FILE.MID"},
     nullptr},
    // Found by the fuzzer: a name ending in a broken UTF-8 sequence was cut at split and
    // refused as too long.
    {"NameEndingInABrokenUtf8Sequence",
     "SONG\xE6\x9B",
     TAnswer::Option1,
     "Convert done.Made Backup",
     {"SONG\xE6\x9B", "SONG\xE6\x9B.BAK"},
     "SONG\xE6\x9B.BAK"},
    {"JapaneseNameOption2",
     "\xE6\x9B\xB2.mid",
     TAnswer::Option2,
     "Convert done.Made Backup",
     {"$$.mid", "\xE6\x9B\xB2.mid"},
     "$$.mid"},
};

class ConvertConfirmed : public ConvertOperation,
                         public testing::WithParamInterface<TConversionCase> {};

TEST_P(ConvertConfirmed, StripsTheHeaderAndKeepsTheChosenBackup) {
    const TConversionCase& c = GetParam();
    const std::string path = Dir / c.FileName;
    const TBytes original = test::WrappedMidi(300); // padding after the MIDI data stays
    WriteBytes(path, original);
    ::chmod(path.c_str(), 0640);
    Host.Answer = c.Answer;

    Convert(path);

    const std::vector<std::string> statuses = {"Header found", c.Status};
    EXPECT_EQ(Host.Statuses, statuses);
    EXPECT_TRUE(Host.ConvertDisabled);
    EXPECT_TRUE(Host.ListRefreshed);
    EXPECT_EQ(Host.PromptsMade, 1);
    EXPECT_EQ(Host.PromptsAlive, 0);
    EXPECT_EQ(ReadBytes(path), Stripped(original));
    EXPECT_EQ(ReadBytes(path).size(), original.size() - 128);
    if (c.BackupName != nullptr) {
        EXPECT_EQ(ReadBytes(Dir / c.BackupName), original);
    }
    EXPECT_EQ(ListNames(Dir.Path()), c.NamesAfter) << "and no MID5.TMP";
    struct stat st {};
    ASSERT_EQ(::stat(path.c_str(), &st), 0);
    EXPECT_EQ(st.st_mode & 07777, 0640u) << "the stripped file keeps the file's permissions";
}

INSTANTIATE_TEST_SUITE_P(Cases, ConvertConfirmed, testing::ValuesIn(ConversionCases),
                         test::TCaseTitle());

TEST_F(ConvertOperation, SourceStaysLockedWhileTheDialogIsOpen) {
    WriteBytes(Source, test::WrappedMidi());
    Host.Answer = TAnswer::Cancel;
    bool refused = false;
    Host.WhileAsking = [&](TSplitPath&) {
        try {
            TFileStream::OpenExclusive(Source);
        } catch (const EFOpenError&) {
            refused = true;
        }
    };
    Convert();
    EXPECT_TRUE(refused);
}

TEST_F(ConvertOperation, ConvertingTheResultAgainFindsNoHeader) {
    WriteBytes(Source, test::WrappedMidi(300));
    Convert();
    Host.Statuses.clear();
    Convert();
    EXPECT_EQ(Host.Statuses, std::vector<std::string>{"No header"});
}

// Each failure is made to happen for real; afterwards the exception names the file, no
// file is lost or half-written, and the dialog is gone.
class ConvertFailure : public ConvertOperation {
protected:
    const TBytes Original = test::WrappedMidi(50);

    void SetUp() override { WriteBytes(Source, Original); }

    template <class E> std::string ExpectFailure(const std::string& namedFile) {
        std::string message;
        try {
            Convert();
            ADD_FAILURE() << "no exception";
        } catch (const E& e) {
            message = e.Message();
        }
        EXPECT_NE(message.find(namedFile), std::string::npos) << message;
        EXPECT_EQ(Host.PromptsAlive, 0);
        EXPECT_FALSE(Exists(Dir / TempFileName));
        return message;
    }
    void ExpectSourceUnchanged() { EXPECT_EQ(ReadBytes(Source), Original); }
};

TEST_F(ConvertFailure, ReadOnlyFileIsRefusedAtTheOpenEvenForRoot) {
    ::chmod(Source.c_str(), 0444);
    const auto message = ExpectFailure<EFOpenError>(Source);
    EXPECT_NE(message.find("read-only"), std::string::npos);
    EXPECT_TRUE(Host.Statuses.empty());
    ExpectSourceUnchanged();
}

TEST_F(ConvertFailure, FileLockedByAnotherProgramIsRefused) {
    test::TLockHolder holder(Source, false);
    ExpectFailure<EFOpenError>(Source);
    ExpectSourceUnchanged();
}

TEST_F(ConvertFailure, MissingFileAndEmptyPathFailAtTheOpen) {
    Source = Dir / "GONE.MID";
    ExpectFailure<EFOpenError>(Source);
    Source.clear();
    ExpectFailure<EFOpenError>("\"\"");
}

TEST_F(ConvertFailure, FifoIsRefusedWithoutBlocking) {
    Source = Dir / "PIPE.MID";
    ASSERT_EQ(::mkfifo(Source.c_str(), 0666), 0);
    ExpectFailure<EFOpenError>(Source);
}

TEST_F(ConvertFailure, DirectoryIsRefused) {
    Source = Dir / "DIR.MID";
    ASSERT_EQ(::mkdir(Source.c_str(), 0777), 0);
    ExpectFailure<EFOpenError>(Source);
}

TEST_F(ConvertFailure, ExistingBackupIsNeverReplaced) {
    const TBytes older = {'o', 'l', 'd'};
    WriteBytes(Dir / "FILE.MID.BAK", older);
    ExpectFailure<EInOutError>(Dir / "FILE.MID.BAK");
    ExpectSourceUnchanged();
    EXPECT_EQ(ReadBytes(Dir / "FILE.MID.BAK"), older);
    EXPECT_FALSE(Host.ConvertDisabled);
    EXPECT_EQ(Host.Statuses, std::vector<std::string>{"Header found"})
        << "the status stays as it was";
}

TEST_F(ConvertFailure, ExistingTempFileIsNeitherTruncatedNorRemoved) {
    const TBytes someoneElses = {'k', 'e', 'e', 'p'};
    WriteBytes(Dir / TempFileName, someoneElses);
    std::string message;
    try {
        Convert();
    } catch (const EFCreateError& e) {
        message = e.Message();
    }
    EXPECT_NE(message.find(Dir / TempFileName), std::string::npos) << message;
    EXPECT_EQ(ReadBytes(Dir / TempFileName), someoneElses);
    ExpectSourceUnchanged();
    EXPECT_EQ(Host.PromptsAlive, 0);
}

TEST_F(ConvertFailure, TempFileSymlinkIsNotFollowed) {
    const std::string target = Dir / "target";
    WriteBytes(target, {'t'});
    ASSERT_EQ(::symlink(target.c_str(), (Dir / TempFileName).c_str()), 0);
    EXPECT_THROW(Convert(), EFCreateError);
    EXPECT_EQ(ReadBytes(target), TBytes{'t'});
    ASSERT_EQ(::unlink(target.c_str()), 0);
    EXPECT_THROW(Convert(), EFCreateError) << "a dangling symlink is not followed either";
    EXPECT_FALSE(Exists(target));
    ExpectSourceUnchanged();
}

TEST_F(ConvertFailure, WriteFailureRemovesThePartialTempFile) {
    const TBytes big = test::WrappedMidi(64 * 1024);
    WriteBytes(Source, big);
    {
        test::TFileSizeLimit limit(4096);
        std::string message;
        try {
            Convert();
        } catch (const EWriteError& e) {
            message = e.Message();
        }
        EXPECT_NE(message.find(Dir / TempFileName), std::string::npos) << message;
    }
    EXPECT_EQ(ReadBytes(Source), big);
    EXPECT_EQ(ListNames(Dir.Path()), std::vector<std::string>{"FILE.MID"});
    EXPECT_EQ(Host.PromptsAlive, 0);
}

// With MID5.TMP on another file system the second rename fails (EXDEV) after the first
// has moved the source to its backup name: the source must come back.
TEST_F(ConvertFailure, FailedSecondRenameMovesTheSourceBack) {
    const char* other = "/dev/shm";
    struct stat here {
    }, there{};
    if (::stat(other, &there) != 0 || ::stat(Dir.Path().c_str(), &here) != 0 ||
        here.st_dev == there.st_dev)
        GTEST_SKIP() << "needs a second file system at " << other;
    char pattern[] = "/dev/shm/sveltor-test-XXXXXX";
    ASSERT_NE(::mkdtemp(pattern), nullptr);
    const std::string listed = pattern;
    EXPECT_THROW(ConvertFile(Source, listed, Host, codepage::Utf8), EInOutError);
    const bool tempLeft = Exists(listed + "/" + TempFileName);
    ::rmdir(listed.c_str());
    EXPECT_FALSE(tempLeft);
    ExpectSourceUnchanged();
    EXPECT_EQ(ListNames(Dir.Path()), std::vector<std::string>{"FILE.MID"});
    EXPECT_EQ(Host.PromptsAlive, 0);
}

TEST_F(ConvertFailure, FailedDeleteKeepsBothFilesAndReportsTheBackup) {
    Host.Answer = TAnswer::NoBackup;
    const std::string backup = Dir / "FILE.MID.BAK";
    // Something takes the backup's place just before the delete: a folder cannot be
    // unlinked.
    Host.WhenBackupRead = [&] {
        ASSERT_EQ(::rename(backup.c_str(), (Dir / "moved").c_str()), 0);
        ASSERT_EQ(::mkdir(backup.c_str(), 0777), 0);
    };
    ExpectFailure<EInOutError>(backup);
    EXPECT_EQ(ReadBytes(Source), Stripped(Original));
    EXPECT_EQ(ReadBytes(Dir / "moved"), Original);
    EXPECT_TRUE(Host.ListRefreshed) << "the window shows the converted file";
    EXPECT_TRUE(Host.ConvertDisabled);
}

TEST_F(ConvertFailure, PathLongerThanTheBuffersIsRefusedBeforeAnyChange) {
    std::string deep = Dir.Path();
    while (deep.size() < 270) {
        deep += "/" + std::string(40, 'd');
        ASSERT_EQ(::mkdir(deep.c_str(), 0777), 0);
    }
    Source = deep + "/FILE.MID";
    WriteBytes(Source, Original);
    ExpectFailure<EInOutError>(Source);
    EXPECT_EQ(Host.PromptsMade, 0);
    ExpectSourceUnchanged();

    TBytes clean = test::CleanMidi();
    clean.resize(200);
    WriteBytes(Source, clean);
    Convert();
    EXPECT_EQ(Host.Statuses.back(), "No header") << "a clean file is still told apart";
}

TEST_F(ConvertFailure, BackupPathLongerThanTheBuffersIsRefusedBeforeAnyChange) {
    // A source path of 257 bytes fits; its backup under option 1 would need 261.
    const std::string name = std::string(257 - Dir.Path().size() - 1 - 4, 'n') + ".MID";
    Source = Dir / name;
    WriteBytes(Source, Original);
    const auto message = ExpectFailure<EInOutError>(Source);
    EXPECT_EQ(Host.PromptsMade, 1);
    ExpectSourceUnchanged();
    EXPECT_EQ(ListNames(Dir.Path()), (std::vector<std::string>{"FILE.MID", name}));

    Host.Answer = TAnswer::Option2;
    Convert();
    EXPECT_EQ(Host.Statuses.back(), "Convert done.Made Backup") << "option 2 keeps the length";
}

} // namespace
} // namespace sveltor
