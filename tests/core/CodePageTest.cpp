#include "CodePage.h"

#include "CaseTitle.h"

#include <gtest/gtest.h>

namespace sveltor {
namespace {

struct TCharsetCase {
    const char* Codeset;
    int Expected;
};

class CodePageForLocale : public testing::TestWithParam<TCharsetCase> {};

TEST_P(CodePageForLocale, OnlyDoubleByteCharsetsLeaveUtf8) {
    EXPECT_EQ(CodePageForCharset(GetParam().Codeset).Id(), GetParam().Expected);
}

INSTANTIATE_TEST_SUITE_P(Charsets, CodePageForLocale,
                         testing::Values(TCharsetCase{"UTF-8", 65001},
                                         TCharsetCase{"ANSI_X3.4-1968", 65001},
                                         TCharsetCase{"ISO-8859-1", 65001},
                                         TCharsetCase{"SHIFT_JIS", 932}, TCharsetCase{"sjis", 932},
                                         TCharsetCase{"CP932", 932}, TCharsetCase{"GBK", 936},
                                         TCharsetCase{"BIG5-HKSCS", 950}, TCharsetCase{"BIG5", 950},
                                         TCharsetCase{"UHC", 949}, TCharsetCase{"EUC-JP", 65001}));

struct TLengthCase {
    const char* Title;
    const TCodePage* CodePage;
    std::string Text;
    std::size_t Expected;
};

class CharLength : public testing::TestWithParam<TLengthCase> {};

TEST_P(CharLength, OfTheFirstCharacter) {
    const TLengthCase& c = GetParam();
    EXPECT_EQ(c.CodePage->CharLength(c.Text.data(), 0, c.Text.size()), c.Expected);
}

INSTANTIATE_TEST_SUITE_P(
    Cases, CharLength,
    testing::Values(TLengthCase{"Ascii", &codepage::Utf8, "a", 1},
                    TLengthCase{"Utf8ThreeBytes", &codepage::Utf8, "\xE6\x9B\xB2", 3},
                    TLengthCase{"Utf8BrokenOffByTheEnd", &codepage::Utf8, "\xE6\x9B", 1},
                    TLengthCase{"Utf8StrayTrailByte", &codepage::Utf8,
                                "\x9B"
                                "a",
                                1},
                    TLengthCase{"Utf8BadTrailByte", &codepage::Utf8,
                                "\xE6"
                                "ab",
                                1},
                    TLengthCase{"Utf8Surrogate", &codepage::Utf8, "\xED\xA0\x80", 1},
                    TLengthCase{"SjisDoubleByte", &codepage::ShiftJis, "\x95\x5C", 2},
                    TLengthCase{"SjisLoneLeadByte", &codepage::ShiftJis, "\x95", 0},
                    TLengthCase{"SjisHalfWidthKatakana", &codepage::ShiftJis, "\xB1", 1},
                    TLengthCase{"GbkDoubleByte", &codepage::Gbk, "\xB0\xA1", 2},
                    TLengthCase{"SingleByteHighByte", &codepage::Latin1, "\x95\x5C", 1}),
    test::TCaseTitle());

} // namespace
} // namespace sveltor
