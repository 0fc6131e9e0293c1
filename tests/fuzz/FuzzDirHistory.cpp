// The dir.hst reader on any file content, in a folder of its own.
#include "DirHistory.h"
#include "Exception.h"

#include <sys/stat.h>
#include <unistd.h>

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string>

using namespace sveltor;

namespace {

class TList : public TDirectoryList {
public:
    std::string Directory = "/";
    std::string GetDirectory() const override { return Directory; }
    void SetDirectory(const std::string& directory) override {
        if (directory.empty() || directory == Directory)
            return;
        if (directory.size() > 4096)
            std::abort(); // the reader promised never to hand over more than a path
        struct stat st {};
        if (::stat(directory.c_str(), &st) != 0 || !S_ISDIR(st.st_mode))
            throw EInOutError("Cannot change to directory");
        Directory = directory;
    }
};

} // namespace

extern "C" int LLVMFuzzerInitialize(int*, char***) {
    char folder[] = "/tmp/sveltor-fuzz-XXXXXX";
    if (::mkdtemp(folder) == nullptr || ::chdir(folder) != 0)
        std::abort();
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    FILE* file = std::fopen(DirHistoryName, "wb");
    if (file == nullptr)
        std::abort();
    std::fwrite(data, 1, size, file);
    std::fclose(file);
    TList list;
    try {
        ReadDirHistory(list);
    } catch (const Exception&) {
    }
    return 0;
}
