#pragma once

#include <cstddef>
#include <string_view>

namespace sveltor {

// How the bytes of a file name group into characters. Paths are byte strings; only a
// single-byte character may act as a separator, dot, colon or wildcard, and no cut
// may fall inside a multi-byte character.
class TCodePage {
public:
    enum class TKind { SingleByte, DoubleByte, Utf8 };

    struct TRange {
        unsigned char First;
        unsigned char Last;
    };

    constexpr TCodePage(int id, std::string_view name, TKind kind, TRange lead1 = {0, 0},
                        TRange lead2 = {0, 0}) noexcept
        : FId(id), FName(name), FKind(kind), FLead{lead1, lead2} {}

    constexpr int Id() const noexcept { return FId; }
    constexpr std::string_view Name() const noexcept { return FName; }
    constexpr TKind Kind() const noexcept { return FKind; }

    // True when the byte starts a character of more than one byte in this code page.
    bool IsLeadByte(unsigned char byte) const noexcept;

    // Length in bytes of the character starting at text[pos] within text[0..length).
    // 0 means a double-byte character is cut short by the end of the text (a lone lead
    // byte). A malformed or broken-off UTF-8 sequence counts as single bytes, so no byte
    // of a file name is ever lost.
    std::size_t CharLength(const char* text, std::size_t pos, std::size_t length) const noexcept {
        // No code page here has a lead byte below 0x80; paths are mostly ASCII.
        if (static_cast<unsigned char>(text[pos]) < 0x80)
            return 1;
        return MultiByteLength(text, pos, length);
    }

    // Largest n <= limit such that text[0..n) ends on a character boundary.
    std::size_t FitLength(const char* text, std::size_t length, std::size_t limit) const noexcept;

private:
    std::size_t MultiByteLength(const char* text, std::size_t pos,
                                std::size_t length) const noexcept;

    int FId;
    std::string_view FName;
    TKind FKind;
    TRange FLead[2];
};

namespace codepage {
inline constexpr TCodePage ShiftJis{
    932, "Shift-JIS", TCodePage::TKind::DoubleByte, {0x81, 0x9F}, {0xE0, 0xFC}};
inline constexpr TCodePage Gbk{936, "GBK", TCodePage::TKind::DoubleByte, {0x81, 0xFE}};
inline constexpr TCodePage Uhc{949, "UHC", TCodePage::TKind::DoubleByte, {0x81, 0xFE}};
inline constexpr TCodePage Big5{950, "Big5", TCodePage::TKind::DoubleByte, {0x81, 0xFE}};
inline constexpr TCodePage Latin1{1252, "single-byte", TCodePage::TKind::SingleByte};
inline constexpr TCodePage Utf8{65001, "UTF-8", TCodePage::TKind::Utf8};
} // namespace codepage

// The code page named by a locale's character set (nl_langinfo(CODESET)). Qt 6 takes
// file names as UTF-8 whatever the locale, so everything but the four double-byte code
// pages maps to UTF-8.
const TCodePage& CodePageForCharset(std::string_view codeset) noexcept;

// The code page the program's file names are in, read from the LC_CTYPE locale that
// the program set with setlocale(); fixed at the first call.
const TCodePage& ProgramCodePage() noexcept;

} // namespace sveltor
