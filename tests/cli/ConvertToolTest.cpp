// Runs the real sveltor-convert on temporary trees and checks its report, its exit code
// and every file byte for byte.
#include "Batch.h"
#include "CaseTitle.h"
#include "TestFiles.h"

#include <gtest/gtest.h>

#include <sys/stat.h>

#include <functional>
#include <map>

namespace sveltor {
namespace {

using test::ReadBytes;
using test::TBytes;
using test::TTempDir;
using test::WriteBytes;

const TBytes Wrapped = test::WrappedMidi(300);
const TBytes Stripped(Wrapped.begin() + 128, Wrapped.end());
const TBytes Clean = [] {
    TBytes b = test::CleanMidi();
    b.resize(300);
    return b;
}();
const TBytes Small(100, 0);
const TBytes OldBackup = {'o', 'l', 'd'};

test::TRunResult RunTool(const std::vector<std::string>& args, const std::string& folder) {
    return test::RunProgram(SVELTOR_CONVERT_PROGRAM, args, folder);
}

// The files below a folder, by relative path, with their contents.
std::map<std::string, TBytes> Snapshot(const std::string& root) {
    std::map<std::string, TBytes> files;
    std::function<void(const std::string&)> walk = [&](const std::string& prefix) {
        for (const std::string& name : test::ListNames(root + "/" + prefix)) {
            const std::string path = prefix + name;
            struct stat st {};
            ::lstat((root + "/" + path).c_str(), &st);
            if (S_ISDIR(st.st_mode))
                walk(path + "/");
            else
                files[path] = ReadBytes(root + "/" + path);
        }
    };
    walk("");
    return files;
}

TEST(ConvertTool, WalksATreeAndReportsEveryFile) {
    TTempDir dir;
    const std::string music = dir / "music";
    ::mkdir(music.c_str(), 0777);
    ::mkdir((music + "/sub").c_str(), 0777);
    ::mkdir((music + "/sub/deeper").c_str(), 0777);
    WriteBytes(music + "/A.MID", Wrapped);
    WriteBytes(music + "/clean.mid", Clean);
    WriteBytes(music + "/small.mid", Small);
    WriteBytes(music + "/$OLD.MID", Wrapped);
    WriteBytes(music + "/E.MID", Wrapped);
    WriteBytes(music + "/E.MID.BAK", OldBackup);
    WriteBytes(music + "/RO.MID", Wrapped);
    ::chmod((music + "/RO.MID").c_str(), 0444);
    WriteBytes(music + "/notes.txt", Wrapped);
    WriteBytes(music + "/.hidden.mid", Wrapped);
    WriteBytes(music + "/sub/G.mid", Wrapped);
    WriteBytes(music + "/sub/deeper/\xE6\x9B\xB2.mid", Wrapped);

    const auto result = RunTool({"-r", "music"}, dir.Path());

    EXPECT_EQ(result.ExitCode, 1);
    EXPECT_EQ(result.Out, "music/$OLD.MID: It may be a Backup file.\n"
                          "music/A.MID: Convert done.Made Backup\n"
                          "music/clean.mid: No header\n"
                          "music/small.mid: File too small\n"
                          "music/sub/G.mid: Convert done.Made Backup\n"
                          "music/sub/deeper/\xE6\x9B\xB2.mid: Convert done.Made Backup\n"
                          "8 files: 3 converted, 3 unchanged, 2 failed\n");
    EXPECT_EQ(result.Err,
              "music/E.MID: Cannot rename \"music/E.MID\" to \"music/E.MID.BAK\": File exists\n"
              "music/RO.MID: Cannot open file \"music/RO.MID\": The file is read-only\n");

    const std::map<std::string, TBytes> expected = {
        {"$OLD.MID", Wrapped},
        {".hidden.mid", Wrapped},
        {"A.MID", Stripped},
        {"A.MID.BAK", Wrapped},
        {"E.MID", Wrapped},
        {"E.MID.BAK", OldBackup},
        {"RO.MID", Wrapped},
        {"clean.mid", Clean},
        {"notes.txt", Wrapped},
        {"small.mid", Small},
        {"sub/G.mid", Stripped},
        {"sub/G.mid.BAK", Wrapped},
        {"sub/deeper/\xE6\x9B\xB2.mid", Stripped},
        {"sub/deeper/\xE6\x9B\xB2.mid.BAK", Wrapped},
    };
    EXPECT_EQ(Snapshot(music), expected);
}

struct TOptionCase {
    const char* Title;
    std::vector<std::string> Args;
    int ExitCode;
    std::string Out;
    std::string Err;
    std::map<std::string, TBytes> FilesAfter;
};

// Every case starts from the same folder: a wrapped A.MID, a wrapped \xE6\x9B\xB2.mid and a
// wrapped notes.txt.
const std::map<std::string, TBytes> Untouched = {
    {"A.MID", Wrapped}, {"notes.txt", Wrapped}, {"\xE6\x9B\xB2.mid", Wrapped}};
std::map<std::string, TBytes> With(std::map<std::string, TBytes> files,
                                   const std::map<std::string, TBytes>& changes) {
    for (const auto& [name, bytes] : changes) {
        if (bytes.empty())
            files.erase(name);
        else
            files[name] = bytes;
    }
    return files;
}

const TOptionCase OptionCases[] = {
    {"BackupBakIsTheDefault",
     {"A.MID"},
     0,
     "A.MID: Convert done.Made Backup\n1 file: 1 converted, 0 unchanged, 0 failed\n",
     "",
     With(Untouched, {{"A.MID", Stripped}, {"A.MID.BAK", Wrapped}})},
    {"BackupDollarReplacesTheFirstCharacter",
     {"--backup=dollar", "A.MID", "\xE6\x9B\xB2.mid"},
     0,
     "A.MID: Convert done.Made Backup\n\xE6\x9B\xB2.mid: Convert done.Made Backup\n"
     "2 files: 2 converted, 0 unchanged, 0 failed\n",
     "",
     With(Untouched, {{"A.MID", Stripped},
                      {"$.MID", Wrapped},
                      {"\xE6\x9B\xB2.mid", Stripped},
                      {"$$.mid", Wrapped}})},
    {"BackupNoneKeepsNoBackup",
     {"--backup", "none", "A.MID"},
     0,
     "A.MID: Convert done.No Backup\n1 file: 1 converted, 0 unchanged, 0 failed\n",
     "",
     With(Untouched, {{"A.MID", Stripped}})},
    {"CheckChangesNothing",
     {"--check", "-r", "."},
     0,
     "./A.MID: Header found\n./\xE6\x9B\xB2.mid: Header found\n"
     "2 files: 2 to convert, 0 unchanged, 0 failed\n",
     "",
     Untouched},
    {"AllFilesTakesEveryNameInAWalk",
     {"--all-files", "-r", "."},
     0,
     "./A.MID: Convert done.Made Backup\n./notes.txt: Convert done.Made Backup\n"
     "./\xE6\x9B\xB2.mid: Convert done.Made Backup\n3 files: 3 converted, 0 unchanged, 0 failed\n",
     "",
     With(Untouched, {{"A.MID", Stripped},
                      {"A.MID.BAK", Wrapped},
                      {"notes.txt", Stripped},
                      {"notes.txt.BAK", Wrapped},
                      {"\xE6\x9B\xB2.mid", Stripped},
                      {"\xE6\x9B\xB2.mid.BAK", Wrapped}})},
    {"NamedFileIsTakenWhateverItsName",
     {"notes.txt"},
     0,
     "notes.txt: Convert done.Made Backup\n1 file: 1 converted, 0 unchanged, 0 failed\n",
     "",
     With(Untouched, {{"notes.txt", Stripped}, {"notes.txt.BAK", Wrapped}})},
    {"FolderWithoutRecursiveFails",
     {"."},
     1,
     "1 file: 0 converted, 0 unchanged, 1 failed\n",
     ".: Is a folder (use -r to walk it)\n",
     Untouched},
    {"MissingFileFailsAndTheBatchGoesOn",
     {"GONE.MID", "A.MID"},
     1,
     "A.MID: Convert done.Made Backup\n2 files: 1 converted, 0 unchanged, 1 failed\n",
     "GONE.MID: Cannot open file \"GONE.MID\": No such file or directory\n",
     With(Untouched, {{"A.MID", Stripped}, {"A.MID.BAK", Wrapped}})},
    {"QuietReportsOnlyFailures",
     {"-q", "A.MID", "GONE.MID"},
     1,
     "",
     "GONE.MID: Cannot open file \"GONE.MID\": No such file or directory\n",
     With(Untouched, {{"A.MID", Stripped}, {"A.MID.BAK", Wrapped}})},
    {"UnknownBackupKindIsAUsageError",
     {"--backup=zip", "A.MID"},
     2,
     "",
     "sveltor-convert: invalid backup kind 'zip': use bak, dollar or none\n"
     "Try 'sveltor-convert --help' for more information.\n",
     Untouched},
    {"UnknownOptionIsAUsageError",
     {"--fast", "A.MID"},
     2,
     "",
     "sveltor-convert: unrecognized option '--fast'\n"
     "Try 'sveltor-convert --help' for more information.\n",
     Untouched},
    {"NoPathIsAUsageError",
     {"-r"},
     2,
     "",
     "sveltor-convert: no file or folder named\nTry 'sveltor-convert --help' for more "
     "information.\n",
     Untouched},
    {"Version", {"--version"}, 0, "sveltor-convert 1.0.0\n", "", Untouched},
};

class ConvertToolOptions : public testing::TestWithParam<TOptionCase> {};

TEST_P(ConvertToolOptions, ReportAndFiles) {
    const TOptionCase& c = GetParam();
    TTempDir dir;
    for (const auto& [name, bytes] : Untouched)
        WriteBytes(dir / name, bytes);

    const auto result = RunTool(c.Args, dir.Path());

    EXPECT_EQ(result.ExitCode, c.ExitCode);
    EXPECT_EQ(result.Out, c.Out);
    EXPECT_EQ(result.Err, c.Err);
    EXPECT_EQ(Snapshot(dir.Path()), c.FilesAfter);
}

INSTANTIATE_TEST_SUITE_P(Cases, ConvertToolOptions, testing::ValuesIn(OptionCases),
                         test::TCaseTitle());

TEST(ConvertTool, CheckReportsAnExistingBackupAsAFailure) {
    TTempDir dir;
    WriteBytes(dir / "A.MID", Wrapped);
    WriteBytes(dir / "A.MID.BAK", OldBackup);
    const auto result = RunTool({"--check", "A.MID"}, dir.Path());
    EXPECT_EQ(result.ExitCode, 1);
    EXPECT_EQ(result.Err, "A.MID: Cannot rename to \"A.MID.BAK\": File exists\n");
    EXPECT_EQ(ReadBytes(dir / "A.MID"), Wrapped);
}

TEST(ConvertTool, HelpGoesToStandardOutput) {
    TTempDir dir;
    const auto result = RunTool({"--help"}, dir.Path());
    EXPECT_EQ(result.ExitCode, 0);
    EXPECT_EQ(result.Out.rfind("Usage: sveltor-convert [OPTION]... PATH...\n", 0), 0u);
    EXPECT_EQ(result.Err, "");
}

struct TNameCase {
    const char* Title;
    const char* Name;
    bool Midi;
};

class MidiName : public testing::TestWithParam<TNameCase> {};

TEST_P(MidiName, MatchesStarDotMidIgnoringCase) {
    EXPECT_EQ(cli::IsMidiName(GetParam().Name), GetParam().Midi);
}

INSTANTIATE_TEST_SUITE_P(
    Cases, MidiName,
    testing::Values(TNameCase{"Upper", "A.MID", true}, TNameCase{"Mixed", "a.Mid", true},
                    TNameCase{"BareExtension", ".mid", true},
                    TNameCase{"Backup", "A.MID.BAK", false}, TNameCase{"Midi2", "a.midi", false},
                    TNameCase{"NoDot", "amid", false}, TNameCase{"Short", "mid", false}),
    test::TCaseTitle());

} // namespace
} // namespace sveltor
