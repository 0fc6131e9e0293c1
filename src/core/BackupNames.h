#pragma once

#include "SplitPath.h"

#include <string>

namespace sveltor {

// The two backup names of a file about to be converted, and which of them stands in
// its TSplitPath: option 1 appends ".BAK" to the whole name (FILE.MID.BAK), option 2
// puts "$" in place of the first character ($ILE.MID). The backup dialog holds one and
// shows the display text each option returns.
class TBackupNames {
public:
    TSplitPath* PathParts = nullptr; // not owned
    std::string DollarName;
    std::string NameWithExt;
    std::string OrigExt;
    std::string BakExt;

    // Records parts, derives the four names from its name and extension, and applies
    // option 1. Returns the display text.
    std::string SetupBackupNames(TSplitPath& parts);
    // Writes option 1 into PathParts; returns the name and extension as they now stand.
    std::string ApplyOption1();
    // Writes option 2 into PathParts; returns the name and extension as they now stand.
    std::string ApplyOption2();

private:
    std::string Apply(const std::string& name, const std::string& extension);
};

// The name with its first character replaced by "$". A first byte of 0x80 or above gives
// "$$" instead: in a double-byte or single-byte code page "$$" takes the first two bytes;
// in UTF-8 it takes the whole first character, so no piece of a character is left.
std::string DollarNameOf(const std::string& name, const TCodePage& codePage);

} // namespace sveltor
