#include "SplitPath.h"

#include <cstring>

namespace sveltor {
namespace {

bool IsSeparator(char c) noexcept {
    return c == '\\' || c == '/';
}

// The working copy of a split: at most PathLimit bytes of whole characters, each byte
// classed so the scan can go backwards without losing track of double-byte characters.
struct TWorkingCopy {
    static constexpr unsigned char Inside = 0, Single = 1, MultiStart = 2;

    char Text[TSplitPath::PathLimit + 1];
    unsigned char Kind[TSplitPath::PathLimit + 1];
    std::size_t Length = 0;
    bool Cut = false;

    TWorkingCopy(const char* path, const TCodePage& cp) noexcept {
        // Only whether the path goes on past the limit matters, not how far; a character
        // that starts before the limit is seen whole, so it is never taken for broken.
        const std::size_t size = ::strnlen(path, TSplitPath::PathLimit + 4);
        while (Length < size) {
            const std::size_t n = cp.CharLength(path, Length, size);
            if (n == 0 || Length + n > TSplitPath::PathLimit)
                break;
            Kind[Length] = n == 1 ? Single : MultiStart;
            Text[Length] = path[Length];
            for (std::size_t i = 1; i < n; ++i) {
                Kind[Length + i] = Inside;
                Text[Length + i] = path[Length + i];
            }
            Length += n;
        }
        Text[Length] = '\0';
        Kind[Length] = Single; // the end is a boundary
        Cut = Length < size;
    }

    bool IsBoundary(std::size_t pos) const noexcept { return Kind[pos] != Inside; }
    // A single-byte character equal to c at pos.
    bool Is(std::size_t pos, char c) const noexcept {
        return pos < Length && Kind[pos] == Single && Text[pos] == c;
    }
};

} // namespace

TSplitPath::TSplitPath(const char* path, const TCodePage& codePage) noexcept
    : FCodePage(&codePage) {
    Split(path);
}

const char* TSplitPath::Split(const char* path) noexcept {
    Flags = 0;
    Directory[0] = Drive[0] = Name[0] = Extension[0] = '\0';
    const TWorkingCopy w(path == nullptr ? "" : path, *FCodePage);
    FCut = w.Cut ? CutInput : 0;

    // Copies w.Text[from..to) into a part of PartLimit bytes at most, cut on a
    // character boundary.
    auto take = [&](char* part, unsigned cutBit, std::size_t from, std::size_t to) noexcept {
        std::size_t n = to - from;
        if (n > PartLimit) {
            n = PartLimit;
            while (n > 0 && !w.IsBoundary(from + n))
                --n;
            FCut |= cutBit;
        }
        std::memcpy(part, w.Text + from, n);
        part[n] = '\0';
        return n;
    };

    std::size_t remaining = w.Length;
    bool nameTaken = false;
    bool extensionTaken = false;
    bool driveFound = false;
    const auto precedesComponent = [&](std::size_t pos) noexcept {
        return pos == 0 || w.Is(pos - 1, '\\') || w.Is(pos - 1, '/') || (pos == 2 && w.Is(1, ':'));
    };

    for (std::size_t pos = w.Length; pos-- > 0 && !driveFound;) {
        if (w.Kind[pos] != TWorkingCopy::Single)
            continue; // a multi-byte character is ordinary text
        const char c = w.Text[pos];
        if (c == '.') {
            if (nameTaken)
                continue;
            if (pos + 1 == remaining) {
                const bool dotDot = pos > 0 && w.Is(pos - 1, '.') && precedesComponent(pos - 1);
                if (dotDot || precedesComponent(pos)) {
                    nameTaken = true; // "." or "..": no name, all of it is directory
                    continue;
                }
            }
            if (!extensionTaken) {
                take(Extension, CutExtension, pos, remaining);
                Flags |= sfExtension;
                remaining = pos;
                extensionTaken = true;
            }
        } else if (c == '*' || c == '?') {
            if (!nameTaken)
                Flags |= sfWildcards;
        } else if (IsSeparator(c)) {
            if (!nameTaken) {
                if (take(Name, CutName, pos + 1, remaining) > 0)
                    Flags |= sfName;
                remaining = pos + 1;
                nameTaken = true;
            }
        } else if (c == ':' && pos == 1) {
            if (!nameTaken) {
                if (take(Name, CutName, 2, remaining) > 0)
                    Flags |= sfName;
            } else if (take(Directory, CutDirectory, 2, remaining) > 0) {
                Flags |= sfDirectory;
            }
            Drive[0] = w.Text[0];
            Drive[1] = w.Text[1];
            Drive[2] = '\0';
            Flags |= sfDrive;
            driveFound = true;
        }
    }
    if (!driveFound) {
        if (!nameTaken) {
            if (take(Name, CutName, 0, remaining) > 0)
                Flags |= sfName;
        } else if (take(Directory, CutDirectory, 0, remaining) > 0) {
            Flags |= sfDirectory;
        }
    }
    return Merge();
}

const char* TSplitPath::Merge() noexcept {
    std::size_t length = 0;
    bool cut = false;
    // Appends whole characters while they fit in MergedPath with its terminator; after a
    // cut nothing more is appended, so a cut path is a clean prefix of the whole one.
    auto append = [&](const char* text, std::size_t size) noexcept {
        if (cut)
            return;
        const std::size_t room = MergedCapacity - 1 - length;
        std::size_t n = size;
        if (n > room) {
            n = FCodePage->FitLength(text, size, room);
            cut = true;
        }
        std::memcpy(MergedPath + length, text, n);
        length += n;
    };

    if (Drive[0] != '\0') {
        append(Drive, 1);
        append(":", 1);
    }
    if (const std::size_t size = std::strlen(Directory); size > 0) {
        append(Directory, size);
        // Find the last character; a second byte equal to '\' is not a separator.
        std::size_t last = 0;
        for (std::size_t pos = 0; pos < size;) {
            const std::size_t n = FCodePage->CharLength(Directory, pos, size);
            last = pos;
            pos += n == 0 ? size - pos : n;
        }
        const bool endsInSeparator = last + 1 == size && IsSeparator(Directory[last]);
        if (!endsInSeparator)
            append("\\", 1);
    }
    append(Name, std::strlen(Name));
    if (const std::size_t size = std::strlen(Extension); size > 0) {
        if (Extension[0] != '.')
            append(".", 1);
        append(Extension, size);
    }
    MergedPath[length] = '\0';
    FCut = cut ? FCut | CutMerged : FCut & ~CutMerged;
    return MergedPath;
}

const char* TSplitPath::SetPart(char* part, std::size_t capacity, unsigned cutBit,
                                const char* text) noexcept {
    if (text == nullptr)
        text = "";
    const std::size_t size = std::strlen(text);
    std::size_t n = size;
    FCut &= ~cutBit;
    if (n > capacity - 1) {
        n = FCodePage->FitLength(text, size, capacity - 1);
        FCut |= cutBit;
    }
    std::memcpy(part, text, n);
    part[n] = '\0';
    return part;
}

const char* TSplitPath::SetDirectory(const char* text) noexcept {
    return SetPart(Directory, DirectoryCapacity, CutDirectory, text);
}
const char* TSplitPath::SetDrive(const char* text) noexcept {
    return SetPart(Drive, DriveCapacity, CutDrive, text);
}
const char* TSplitPath::SetName(const char* text) noexcept {
    return SetPart(Name, NameCapacity, CutName, text);
}
const char* TSplitPath::SetExtension(const char* text) noexcept {
    return SetPart(Extension, ExtensionCapacity, CutExtension, text);
}

} // namespace sveltor
