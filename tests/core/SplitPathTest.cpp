#include "SplitPath.h"

#include "CaseTitle.h"

#include <gtest/gtest.h>

#include <cstring>
#include <string>

namespace sveltor {
namespace {

static_assert(sizeof(TSplitPath::Directory) == 260 && sizeof(TSplitPath::Drive) == 3 &&
              sizeof(TSplitPath::Name) == 256 && sizeof(TSplitPath::Extension) == 256 &&
              sizeof(TSplitPath::MergedPath) == 260);

struct TSplitCase {
    const char* Title;
    const TCodePage* CodePage;
    std::string Input;
    std::string Drive, Directory, Name, Extension;
    int Flags;
    std::string Merged; // empty: the merged path equals the input
};

std::string Repeat(char c, std::size_t n) {
    return std::string(n, c);
}

const TCodePage& Sjis = codepage::ShiftJis;
const TCodePage& Utf8 = codepage::Utf8;
const TCodePage& Latin1 = codepage::Latin1;

// "\x95\x5C" is a Shift-JIS character whose second byte is the code of "\".
const std::string Hyou = "\x95\x5C";
// A Japanese character in UTF-8, three bytes.
const std::string Kyoku = "\xE6\x9B\xB2";

// 260 bytes of path end inside a double-byte character: the copy stops one byte early.
const std::string Straddle = "C:\\" + Repeat('a', 100) + "\\" + Repeat('b', 155) + "\x82\xA0";
const std::string Utf8Straddle = "/" + Repeat('a', 100) + "/" + Repeat('b', 156) + Kyoku;
const std::string Long300 = "C:\\dir\\" + Repeat('n', 293);
const std::string LongDirectory = "\\" + Repeat('d', 254) + "\\f";

const TSplitCase Cases[] = {
    {"DriveDirectoryNameAndExtension",
     &Utf8,
     "C:\\MIDI\\FILE.MID",
     "C:",
     "\\MIDI\\",
     "FILE",
     ".MID",
     30,
     {}},
    {"NameAndExtension", &Utf8, "FILE.MID", "", "", "FILE", ".MID", 6, {}},
    {"DriveRelativeName", &Utf8, "C:FILE.MID", "C:", "", "FILE", ".MID", 22, {}},
    {"DriveRoot", &Utf8, "C:\\", "C:", "\\", "", "", 24, {}},
    {"EmptyText", &Utf8, "", "", "", "", "", 0, {}},
    {"DotDotIsDirectory", &Utf8, "..", "", "..", "", "", 8, "..\\"},
    {"TrailingDotDotIsDirectory", &Utf8, "C:\\A\\..", "C:", "\\A\\..", "", "", 24, "C:\\A\\..\\"},
    {"TrailingDotIsAnEmptyExtension", &Utf8, "abc.", "", "", "abc", ".", 6, {}},
    {"LastDotStartsTheExtension", &Utf8, "a.b.c", "", "", "a.b", ".c", 6, {}},
    {"DotInDirectoryIsNoExtension", &Utf8, "dir.x\\name", "", "dir.x\\", "name", "", 12, {}},
    {"DotFileIsAllExtension", &Utf8, "C:\\x\\.profile", "C:", "\\x\\", "", ".profile", 26, {}},
    {"WildcardInName", &Utf8, "*.mid", "", "", "*", ".mid", 7, {}},
    {"WildcardInDirectoryIsNotFlagged",
     &Utf8,
     "C:\\d*\\f.mid",
     "C:",
     "\\d*\\",
     "f",
     ".mid",
     30,
     {}},
    {"ForwardSlashes", &Utf8, "x/y/z.mid", "", "x/y/", "z", ".mid", 14, {}},
    {"LinuxAbsolutePath", &Utf8, "/home/u/SONG.MID", "", "/home/u/", "SONG", ".MID", 14, {}},
    {"ColonNotSecondByteIsText", &Utf8, " C:\\x", "", " C:\\", "x", "", 12, {}},
    {"PathCutAt260Bytes", &Utf8, Long300, "C:", "\\dir\\", Repeat('n', 253), "", 28, {}},
    {"DirectoryCutTo255GetsSeparatorBack",
     &Utf8,
     LongDirectory,
     "",
     "\\" + Repeat('d', 254),
     "f",
     "",
     12,
     {}},

    {"SjisSecondByte5CStaysInName", &Sjis, "C:\\DIR\\" + Hyou, "C:", "\\DIR\\", Hyou, "", 28, {}},
    {"SjisSecondByte5CInDirectory",
     &Sjis,
     "\\" + Hyou + "\\f.mid",
     "",
     "\\" + Hyou + "\\",
     "f",
     ".mid",
     14,
     {}},
    {"SjisStraddling260IsLeftOut", &Sjis, Straddle, "C:", "\\" + Repeat('a', 100) + "\\",
     Repeat('b', 155), "", 28, Straddle.substr(0, 259)},
    {"SjisLoneLeadByteAtEndIsDropped", &Sjis, "C:\\FILE\x82", "C:", "\\", "FILE", "", 28,
     "C:\\FILE"},
    {"SjisNameCutTo254BeforeACharacter", &Sjis, "\\" + Repeat('a', 254) + "\x82\xA0", "", "\\",
     Repeat('a', 254), "", 12, "\\" + Repeat('a', 254)},
    {"SingleByteCodePageTakes5CAsSeparator",
     &Latin1,
     "C:\\DIR\\" + Hyou,
     "C:",
     "\\DIR\\\x95\\",
     "",
     "",
     24,
     {}},

    {"Utf8JapaneseName", &Utf8, "/home/u/" + Kyoku + ".mid", "", "/home/u/", Kyoku, ".mid", 14, {}},
    {"Utf8StraddlingCharacterIsLeftOut", &Utf8, Utf8Straddle, "", "/" + Repeat('a', 100) + "/",
     Repeat('b', 156), "", 12, Utf8Straddle.substr(0, 258)},
    {"Utf8NameCutBeforeACharacter", &Utf8, "/" + Repeat('a', 253) + Kyoku, "", "/",
     Repeat('a', 253), "", 12, "/" + Repeat('a', 253)},
    {"Utf8BrokenSequenceAtTheEndIsKept", &Utf8, "/x/a\xE6\x9B", "", "/x/", "a\xE6\x9B", "", 12, {}},
};

class SplitPath : public testing::TestWithParam<TSplitCase> {};

TEST_P(SplitPath, SplitsIntoPartsAndMergesBack) {
    const TSplitCase& c = GetParam();
    const TSplitPath p(c.Input.c_str(), *c.CodePage);
    EXPECT_EQ(p.GetDrive(), c.Drive);
    EXPECT_EQ(p.GetDirectory(), c.Directory);
    EXPECT_EQ(p.GetName(), c.Name);
    EXPECT_EQ(p.GetExtension(), c.Extension);
    EXPECT_EQ(p.Flags, c.Flags);
    const std::string merged = p.MergedPath;
    if (!c.Merged.empty()) {
        EXPECT_EQ(merged, c.Merged);
    } else if (c.Input.size() <= 259) {
        EXPECT_EQ(merged, c.Input);
    }
}

INSTANTIATE_TEST_SUITE_P(Cases, SplitPath, testing::ValuesIn(Cases), test::TCaseTitle());

TEST(SplitPathReuse, SplitReturnsMergedPathAndForgetsThePreviousPath) {
    TSplitPath p("C:\\MIDI\\FILE.MID", Utf8);
    EXPECT_STREQ(p.Split("x/y.mid"), "x/y.mid");
    EXPECT_STREQ(p.GetDrive(), "");
    EXPECT_STREQ(p.GetDirectory(), "x/");
    EXPECT_EQ(p.Flags, 14);
}

struct TMergeCase {
    const char* Title;
    const TCodePage* CodePage;
    const char* Drive;
    const char* Directory;
    const char* Name;
    const char* Extension;
    const char* Merged;
};

const TMergeCase MergeCases[] = {
    {"DirectoryWithoutSeparatorGetsBackslash", &Utf8, "", "/x/dir", "f", ".mid", "/x/dir\\f.mid"},
    {"ExtensionWithoutDotGetsDot", &Utf8, "", "/x/", "f", "mid", "/x/f.mid"},
    {"EmptyExtensionAddsNothing", &Utf8, "", "/x/", "f", "", "/x/f"},
    {"BareDriveLetterGetsColon", &Utf8, "D", "\\", "f", ".mid", "D:\\f.mid"},
    {"SjisDirectoryEndingIn5CSecondByteGetsBackslash", &Sjis, "", "\\\x95\x5C", "f", ".mid",
     "\\\x95\x5C\\f.mid"},
    {"SingleByteDirectoryEndingInBackslashGetsNone", &Latin1, "", "\\\x95\x5C", "f", ".mid",
     "\\\x95\x5C"
     "f.mid"},
};

class SplitPathMerge : public testing::TestWithParam<TMergeCase> {};

TEST_P(SplitPathMerge, MergesTheSetParts) {
    const TMergeCase& c = GetParam();
    TSplitPath p("C:\\old\\OLD.TXT", *c.CodePage);
    p.SetDrive(c.Drive);
    p.SetDirectory(c.Directory);
    p.SetName(c.Name);
    p.SetExtension(c.Extension);
    EXPECT_STREQ(p.MergedPath, "C:\\old\\OLD.TXT") << "setters leave MergedPath alone";
    EXPECT_STREQ(p.Merge(), c.Merged);
    EXPECT_FALSE(p.Truncated());
}

INSTANTIATE_TEST_SUITE_P(Cases, SplitPathMerge, testing::ValuesIn(MergeCases), test::TCaseTitle());

// Overlong texts must never run past a buffer: the part after the one set is a canary.
TEST(SplitPathBounds, SettersCutAtCapacityOnACharacterBoundary) {
    TSplitPath p("/x/FILE.MID", Utf8);
    const std::string longUtf8 = "a" + [] {
        std::string s;
        for (int i = 0; i < 200; ++i)
            s += Kyoku;
        return s;
    }();
    EXPECT_EQ(std::strlen(p.SetName(longUtf8.c_str())), 253u) << "1 + 84 * 3 whole characters";
    EXPECT_TRUE(p.Truncated());
    EXPECT_STREQ(p.GetExtension(), ".MID");
    p.SetName("FILE");
    EXPECT_FALSE(p.Truncated()) << "a text that fits clears the cut";

    EXPECT_EQ(std::strlen(p.SetDrive("ABCDEF")), 2u);
    EXPECT_STREQ(p.GetName(), "FILE");
    EXPECT_EQ(std::strlen(p.SetDirectory(Repeat('d', 5000).c_str())), 259u);
    EXPECT_EQ(std::strlen(p.SetExtension(Repeat('e', 5000).c_str())), 255u);
    EXPECT_STREQ(p.GetName(), "FILE");
    EXPECT_TRUE(p.Truncated());
}

TEST(SplitPathBounds, MergeCutsAt259BytesWithoutSplittingACharacter) {
    TSplitPath p("", Sjis);
    p.SetDrive("C:");
    p.SetDirectory(("\\" + Repeat('d', 199) + "\\").c_str());
    p.SetName(("n" + Repeat('\x82', 2) + std::string(100, '\x82')).c_str());
    p.SetExtension(".MID");
    const std::string merged = p.Merge();
    EXPECT_EQ(merged.size(), 258u)
        << "2 + 201 + 1 + 27 double-byte characters; the 28th would straddle";
    EXPECT_TRUE(p.Truncated());
    EXPECT_EQ(merged.substr(0, 205), "C:\\" + Repeat('d', 199) + "\\n\x82");

    p.SetName("n");
    EXPECT_EQ(std::string(p.Merge()), "C:\\" + Repeat('d', 199) + "\\n.MID");
    EXPECT_FALSE(p.Truncated());
}

TEST(SplitPathBounds, CutSplitInputIsReported) {
    EXPECT_TRUE(TSplitPath(Long300.c_str(), Utf8).Truncated());
    EXPECT_TRUE(TSplitPath(LongDirectory.c_str(), Utf8).Truncated());
    EXPECT_FALSE(TSplitPath("/home/u/SONG.MID", Utf8).Truncated());
}

} // namespace
} // namespace sveltor
