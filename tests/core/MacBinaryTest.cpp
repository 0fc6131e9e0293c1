#include "MacBinary.h"

#include "TestFiles.h"

#include "CaseTitle.h"

#include <gtest/gtest.h>

#include <cstring>

namespace sveltor {
namespace {

using test::TBytes;

// size bytes of 0x55, with byte 0 and the four bytes at 128 set as given.
TBytes Data(std::size_t size, int first, const char* at128 = nullptr) {
    TBytes data(size, 0x55);
    if (size > 0 && first >= 0)
        data[0] = static_cast<unsigned char>(first);
    if (at128 != nullptr)
        std::memcpy(data.data() + 128, at128, 4);
    return data;
}

struct THeaderCase {
    const char* Title;
    TBytes Data;
    int Kind;
    bool Expected;
};

const THeaderCase Cases[] = {
    {"EmptyData", {}, MacBinKindMidi, false},
    {"EmptyDataAnyKind", {}, 0, false},
    {"ZeroByteAloneAnyKind", {0x00}, 0, true},
    {"ZeroByteAloneMidi", {0x00}, MacBinKindMidi, false},
    {"NonZeroFirstByteAnyKind", Data(200, 0x01), 0, false},
    {"WrappedMidi", test::WrappedMidi(), MacBinKindMidi, true},
    {"ExactlyTagLength", Data(132, 0x00, "MThd"), MacBinKindMidi, true},
    {"TagCutShort", Data(131, 0x00), MacBinKindMidi, false},
    {"OtherTagAt128", Data(200, 0x00, "MThx"), MacBinKindMidi, false},
    {"TagCaseMatters", Data(200, 0x00, "mthd"), MacBinKindMidi, false},
    {"TagButNonZeroFirstByte", Data(200, 0x01, "MThd"), MacBinKindMidi, false},
    {"PlainMidiFile", test::CleanMidi(), MacBinKindMidi, false},
};

class MacBinHeader : public testing::TestWithParam<THeaderCase> {};

TEST_P(MacBinHeader, IsFoundExactlyWhenByte0IsZeroAndMThdFollows) {
    const THeaderCase& c = GetParam();
    EXPECT_EQ(HasMacBinHeader(c.Data.data(), c.Data.size(), c.Kind), c.Expected);
}

INSTANTIATE_TEST_SUITE_P(Cases, MacBinHeader, testing::ValuesIn(Cases), test::TCaseTitle());

} // namespace
} // namespace sveltor
