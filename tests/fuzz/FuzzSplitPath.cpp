// TSplitPath under UTF-8 and Shift-JIS: split then merge, and the setters, on any bytes.
#include "SplitPath.h"

#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <string>

using namespace sveltor;

namespace {

void Check(bool condition) {
    if (!condition)
        std::abort();
}

// Every part fits its buffer. After a split the merged path also ends on a whole
// character; texts handed to the setters may end in a lone lead byte, and keep it.
void CheckParts(const TSplitPath& p, bool wholeCharacters) {
    Check(std::strlen(p.Directory) < TSplitPath::DirectoryCapacity);
    Check(std::strlen(p.Drive) < TSplitPath::DriveCapacity);
    Check(std::strlen(p.Name) < TSplitPath::NameCapacity);
    Check(std::strlen(p.Extension) < TSplitPath::ExtensionCapacity);
    const std::size_t merged = std::strlen(p.MergedPath);
    Check(merged < TSplitPath::MergedCapacity);
    if (wholeCharacters)
        Check(p.CodePage().FitLength(p.MergedPath, merged, merged) == merged);
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    if (size == 0)
        return 0;
    const TCodePage& cp = (data[0] & 1) != 0 ? codepage::ShiftJis : codepage::Utf8;
    // The rest: a path, then, after a NUL, texts for the four setters.
    const std::string rest(reinterpret_cast<const char*>(data + 1), size - 1);
    const std::string path = rest.substr(0, rest.find('\0'));

    TSplitPath p(path.c_str(), cp);
    CheckParts(p, true);
    const std::string merged = p.MergedPath;
    Check(merged == p.Merge()); // merging again changes nothing
    if (!p.Truncated() && merged == path) {
        // A path that merged back whole splits into the same parts again.
        TSplitPath again(merged.c_str(), cp);
        Check(std::strcmp(again.Name, p.Name) == 0 &&
              std::strcmp(again.Directory, p.Directory) == 0 &&
              std::strcmp(again.Extension, p.Extension) == 0 && again.Flags == p.Flags);
    }

    std::size_t pos = rest.find('\0');
    const char* setters[4] = {"", "", "", ""};
    std::string pieces[4];
    for (int i = 0; i < 4 && pos != std::string::npos; ++i) {
        const std::size_t next = rest.find('\0', pos + 1);
        pieces[i] =
            rest.substr(pos + 1, next == std::string::npos ? std::string::npos : next - pos - 1);
        setters[i] = pieces[i].c_str();
        pos = next;
    }
    p.SetDirectory(setters[0]);
    p.SetDrive(setters[1]);
    p.SetName(setters[2]);
    p.SetExtension(setters[3]);
    p.Merge();
    CheckParts(p, false);
    return 0;
}
