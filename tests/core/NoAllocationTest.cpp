#include "SplitPath.h"

#include <gtest/gtest.h>

#include <atomic>
#include <cstdlib>
#include <new>

namespace {
std::atomic<long> Allocations{0};
}

void* operator new(std::size_t size) {
    ++Allocations;
    if (void* p = std::malloc(size == 0 ? 1 : size))
        return p;
    throw std::bad_alloc();
}
void operator delete(void* p) noexcept {
    std::free(p);
}
void operator delete(void* p, std::size_t) noexcept {
    std::free(p);
}

namespace sveltor {
namespace {

TEST(SplitPathMemory, SplitMergeAndSettersAllocateNothing) {
    const long before = Allocations.load();
    for (const TCodePage* cp : {&codepage::Utf8, &codepage::ShiftJis, &codepage::Latin1}) {
        TSplitPath p("C:\\MIDI\\\x95\x5C\\FILE.MID", *cp);
        p.Split("/home/user/\xE6\x9B\xB2/SONG.MID");
        p.SetName("SONG.MID");
        p.SetExtension(".BAK");
        p.SetDirectory("/tmp/");
        p.SetDrive("");
        p.Merge();
    }
    EXPECT_EQ(Allocations.load() - before, 0);
}

} // namespace
} // namespace sveltor
