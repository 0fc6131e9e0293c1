#pragma once

#include "CodePage.h"

#include <cstdint>

namespace sveltor {

// Result bits of TSplitPath::Split, kept in Flags.
enum : std::int32_t {
    sfWildcards = 1,
    sfExtension = 2,
    sfName = 4,
    sfDirectory = 8,
    sfDrive = 16,
};

// A path taken apart into drive, directory, name and extension, in fixed buffers, with
// the path merged back from them. Nothing is allocated on the heap. Every text is a
// zero-terminated byte string in the object's code page.
//
// The setters and Merge never write past a buffer: a text that does not fit is cut at
// the last whole character that fits, and Truncated() tells that it happened, so a
// caller that is about to rename a file can refuse a cut path instead of using it.
class TSplitPath {
public:
    static constexpr std::size_t DirectoryCapacity = 260;
    static constexpr std::size_t DriveCapacity = 3;
    static constexpr std::size_t NameCapacity = 256;
    static constexpr std::size_t ExtensionCapacity = 256;
    static constexpr std::size_t MergedCapacity = 260;
    // Split takes at most this many bytes of its input; a part keeps at most PartLimit.
    static constexpr std::size_t PathLimit = 260;
    static constexpr std::size_t PartLimit = 255;

    // Split fills every field; the bytes after each terminator are never read, so they
    // are not cleared, which would cost more than the split itself.
    std::int32_t Flags;
    char Directory[DirectoryCapacity];
    char Drive[DriveCapacity];
    char Name[NameCapacity];
    char Extension[ExtensionCapacity];
    char MergedPath[MergedCapacity];

    explicit TSplitPath(const char* path, const TCodePage& codePage = ProgramCodePage()) noexcept;

    // Splits path into the four parts, sets Flags, then merges; returns MergedPath.
    const char* Split(const char* path) noexcept;
    // Rebuilds MergedPath from the four parts as they stand; returns it.
    const char* Merge() noexcept;

    const char* GetDirectory() const noexcept { return Directory; }
    const char* GetDrive() const noexcept { return Drive; }
    const char* GetName() const noexcept { return Name; }
    const char* GetExtension() const noexcept { return Extension; }

    // Each copies text into its part, cut to the part's capacity, and returns the part.
    // MergedPath is left as it is until the next Merge.
    const char* SetDirectory(const char* text) noexcept;
    const char* SetDrive(const char* text) noexcept;
    const char* SetName(const char* text) noexcept;
    const char* SetExtension(const char* text) noexcept;

    // True when a part or MergedPath as they stand now, or the path of the last Split,
    // had to be cut to fit.
    bool Truncated() const noexcept { return FCut != 0; }
    const TCodePage& CodePage() const noexcept { return *FCodePage; }

private:
    // Which texts had to be cut, one bit each, kept in FCut.
    static constexpr unsigned CutInput = 1, CutDirectory = 2, CutDrive = 4, CutName = 8,
                              CutExtension = 16, CutMerged = 32;
    const char* SetPart(char* part, std::size_t capacity, unsigned cutBit,
                        const char* text) noexcept;

    const TCodePage* FCodePage;
    unsigned FCut = 0;
};

} // namespace sveltor
