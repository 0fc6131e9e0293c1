#include "CodePage.h"

#include <langinfo.h>

#include <algorithm>
#include <cctype>
#include <string>

namespace sveltor {

bool TCodePage::IsLeadByte(unsigned char byte) const noexcept {
    switch (FKind) {
    case TKind::SingleByte:
        return false;
    case TKind::DoubleByte:
        return std::any_of(std::begin(FLead), std::end(FLead), [byte](const TRange& r) {
            return r.First != 0 && byte >= r.First && byte <= r.Last;
        });
    case TKind::Utf8:
        return byte >= 0xC2 && byte <= 0xF4;
    }
    return false;
}

std::size_t TCodePage::MultiByteLength(const char* text, std::size_t pos,
                                       std::size_t length) const noexcept {
    const auto lead = static_cast<unsigned char>(text[pos]);
    if (!IsLeadByte(lead))
        return 1;
    if (FKind == TKind::DoubleByte) {
        // Any byte but NUL may follow a lead byte as its second byte.
        if (pos + 1 >= length || text[pos + 1] == '\0')
            return 0;
        return 2;
    }
    const std::size_t need = lead >= 0xF0 ? 4 : lead >= 0xE0 ? 3 : 2;
    for (std::size_t i = 1; i < need; ++i) {
        // A sequence broken off, by the end of the text or by another byte, is no
        // character: its bytes count one by one, as any bytes may make a Linux file name.
        if (pos + i >= length || text[pos + i] == '\0')
            return 1;
        const auto trail = static_cast<unsigned char>(text[pos + i]);
        if (trail < 0x80 || trail > 0xBF)
            return 1;
    }
    // Overlong three-byte forms and surrogates are not characters.
    const auto second = static_cast<unsigned char>(text[pos + 1]);
    if ((lead == 0xE0 && second < 0xA0) || (lead == 0xED && second > 0x9F) ||
        (lead == 0xF0 && second < 0x90) || (lead == 0xF4 && second > 0x8F))
        return 1;
    return need;
}

std::size_t TCodePage::FitLength(const char* text, std::size_t length,
                                 std::size_t limit) const noexcept {
    std::size_t pos = 0;
    while (pos < length) {
        const std::size_t n = CharLength(text, pos, length);
        if (n == 0 || pos + n > limit)
            break;
        pos += n;
    }
    return pos;
}

const TCodePage& CodePageForCharset(std::string_view codeset) noexcept {
    std::string name;
    for (char c : codeset) {
        if (c != '-' && c != '_')
            name += static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
    }
    if (name == "SHIFTJIS" || name == "SJIS" || name == "CP932" || name == "WINDOWS31J" ||
        name == "MSKANJI")
        return codepage::ShiftJis;
    if (name == "GBK" || name == "CP936")
        return codepage::Gbk;
    if (name == "UHC" || name == "CP949")
        return codepage::Uhc;
    if (name == "BIG5" || name == "BIG5HKSCS" || name == "CP950")
        return codepage::Big5;
    return codepage::Utf8;
}

const TCodePage& ProgramCodePage() noexcept {
    static const TCodePage& page = CodePageForCharset(nl_langinfo(CODESET));
    return page;
}

} // namespace sveltor
