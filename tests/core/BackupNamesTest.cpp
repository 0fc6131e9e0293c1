#include "BackupNames.h"

#include "CaseTitle.h"

#include <gtest/gtest.h>

namespace sveltor {
namespace {

struct TNamesCase {
    const char* Title;
    const TCodePage* CodePage;
    const char* Path;
    const char* DollarName;
    const char* Option1; // display text of option 1
    const char* Option2; // display text of option 2
};

const TNamesCase Cases[] = {
    {"UpperCaseFile", &codepage::Utf8, "/m/FILE.MID", "$ILE", "FILE.MID.BAK", "$ILE.MID"},
    {"CaseIsKept", &codepage::Utf8, "/m/song.mid", "$ong", "song.mid.BAK", "$ong.mid"},
    {"NoExtension", &codepage::Utf8, "/m/README", "$EADME", "README.BAK", "$EADME"},
    {"OneByteName", &codepage::Utf8, "/m/A.MID", "$", "A.MID.BAK", "$.MID"},
    {"DotFileHasEmptyName", &codepage::Utf8, "/m/.mid", "$", ".mid.BAK", "$.mid"},
    {"DollarNameIsKept", &codepage::Utf8, "/m/$ILE.MID", "$ILE", "$ILE.MID.BAK", "$ILE.MID"},
    {"SjisDoubleByteFirstCharacter", &codepage::ShiftJis,
     "\\m\\\x82\x60"
     "BC.MID",
     "$$BC",
     "\x82\x60"
     "BC.MID.BAK",
     "$$BC.MID"},
    {"SjisHalfWidthKatakanaLosesTwoBytes", &codepage::ShiftJis,
     "\\m\\\xB1"
     "BC.MID",
     "$$C",
     "\xB1"
     "BC.MID.BAK",
     "$$C.MID"},
    {"SjisSingleHighByteNameGrows", &codepage::ShiftJis, "\\m\\\xB1.MID", "$$", "\xB1.MID.BAK",
     "$$.MID"},
    {"Utf8TwoByteFirstCharacter", &codepage::Utf8, "/m/\xC3\xA9lan.mid", "$$lan",
     "\xC3\xA9lan.mid.BAK", "$$lan.mid"},
    {"Utf8ThreeByteFirstCharacterIsReplacedWhole", &codepage::Utf8,
     "/m/\xE6\x9B\xB2"
     "A.mid",
     "$$A",
     "\xE6\x9B\xB2"
     "A.mid.BAK",
     "$$A.mid"},
    {"Utf8FourByteFirstCharacterIsReplacedWhole", &codepage::Utf8, "/m/\xF0\x9F\x8E\xB5.mid", "$$",
     "\xF0\x9F\x8E\xB5.mid.BAK", "$$.mid"},
};

class BackupNames : public testing::TestWithParam<TNamesCase> {};

TEST_P(BackupNames, BothOptionsNameTheBackup) {
    const TNamesCase& c = GetParam();
    TSplitPath parts(c.Path, *c.CodePage);
    const std::string directory = parts.GetDirectory();
    TBackupNames names;

    EXPECT_EQ(names.SetupBackupNames(parts), c.Option1) << "setting up applies option 1";
    EXPECT_EQ(names.DollarName, c.DollarName);
    EXPECT_EQ(names.BakExt, ".BAK");
    EXPECT_EQ(names.ApplyOption2(), c.Option2);
    EXPECT_EQ(names.ApplyOption1(), c.Option1);
    EXPECT_EQ(names.ApplyOption2(), c.Option2) << "switching back and forth changes nothing";

    EXPECT_EQ(parts.GetDirectory(), directory);
    EXPECT_STREQ(parts.MergedPath, c.Path) << "MergedPath waits for Merge";
    EXPECT_EQ(std::string(parts.Merge()), directory + c.Option2);
}

INSTANTIATE_TEST_SUITE_P(Cases, BackupNames, testing::ValuesIn(Cases), test::TCaseTitle());

TEST(BackupNamesState, HoldsTheSplitPartsOfTheFile) {
    TSplitPath parts("C:\\MIDI\\FILE.MID", codepage::ShiftJis);
    TBackupNames names;
    names.SetupBackupNames(parts);
    EXPECT_EQ(names.PathParts, &parts);
    EXPECT_EQ(names.NameWithExt, "FILE.MID");
    EXPECT_EQ(names.OrigExt, ".MID");
    EXPECT_STREQ(parts.GetName(), "FILE.MID");
    EXPECT_STREQ(parts.GetExtension(), ".BAK");
    EXPECT_STREQ(parts.Merge(), "C:\\MIDI\\FILE.MID.BAK");
}

} // namespace
} // namespace sveltor
