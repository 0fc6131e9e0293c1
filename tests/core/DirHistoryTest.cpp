#include "DirHistory.h"

#include "CaseTitle.h"
#include "Exception.h"
#include "TestFiles.h"

#include <gtest/gtest.h>

#include <fcntl.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <unistd.h>

#include <climits>
#include <functional>

namespace sveltor {
namespace {

using test::ReadBytes;
using test::TBytes;
using test::TTempDir;
using test::WriteBytes;

// A directory list that behaves as the window's does when set: an empty text or its own
// directory changes nothing; a directory that cannot be entered raises EInOutError.
class TFakeList : public TDirectoryList {
public:
    explicit TFakeList(std::string directory) : Directory(std::move(directory)) {}
    std::string Directory;
    int Moves = 0;

    std::string GetDirectory() const override { return Directory; }
    void SetDirectory(const std::string& directory) override {
        if (directory.empty() || directory == Directory)
            return;
        struct stat st {};
        if (directory.find('\0') != std::string::npos || ::stat(directory.c_str(), &st) != 0 ||
            !S_ISDIR(st.st_mode))
            throw EInOutError(FileErrorMessage("Cannot change to directory", directory, ENOENT),
                              ENOENT);
        Directory = directory;
        ++Moves;
    }
};

// Runs in a folder as the process's current directory, and goes back afterwards.
class TInDirectory {
public:
    explicit TInDirectory(const std::string& folder) {
        EXPECT_NE(::getcwd(FOld, sizeof FOld), nullptr);
        EXPECT_EQ(::chdir(folder.c_str()), 0);
    }
    ~TInDirectory() { (void)!::chdir(FOld); }

private:
    char FOld[PATH_MAX];
};

TBytes Bytes(const std::string& text) {
    return TBytes(text.begin(), text.end());
}

struct TReadCase {
    const char* Title;
    // What dir.hst holds, given the start folder and another folder; nullopt: no file.
    std::function<std::optional<std::string>(const std::string& start, const std::string& other)>
        Content;
    // Where the list ends: 0 the start folder, 1 the other folder, 2 the root.
    int EndsIn;
};

const TReadCase ReadCases[] = {
    {"NoFileLeavesTheStartDirectory", [](auto&, auto&) { return std::nullopt; }, 0},
    {"EmptyFileChangesNothing", [](auto&, auto&) { return std::string(); }, 0},
    {"ExactlyTheStartDirectoryChangesNothing", [](auto& start, auto&) { return start; }, 0},
    {"AnotherDirectoryIsApplied", [](auto&, auto& other) { return other; }, 1},
    {"TheRootIsApplied", [](auto&, auto&) { return std::string("/"); }, 2},
    {"TextAfterANulIsIgnored",
     [](auto&, auto& other) { return other + std::string(1, '\0') + "junk"; }, 1},
    {"LeadingNulMeansNoDirectory", [](auto&, auto& other) { return std::string(1, '\0') + other; },
     0},
};

class DirHistoryRead : public testing::TestWithParam<TReadCase> {};

TEST_P(DirHistoryRead, MovesTheListToTheStoredDirectory) {
    TTempDir start, other;
    const auto content = GetParam().Content(start.Path(), other.Path());
    if (content)
        WriteBytes(start / DirHistoryName, Bytes(*content));
    TFakeList list(start.Path());
    {
        TInDirectory in(start.Path());
        ReadDirHistory(list);
    }
    const std::string expected[] = {start.Path(), other.Path(), "/"};
    EXPECT_EQ(list.Directory, expected[GetParam().EndsIn]);
    if (content) {
        EXPECT_EQ(ReadBytes(start / DirHistoryName), Bytes(*content)) << "reading changes nothing";
    }
}

INSTANTIATE_TEST_SUITE_P(Cases, DirHistoryRead, testing::ValuesIn(ReadCases), test::TCaseTitle());

// Runs ReadDirHistory in start; returns the exception's message, or "" when none.
template <class E> std::string ReadFails(const std::string& start, TFakeList& list) {
    TInDirectory in(start);
    try {
        ReadDirHistory(list);
    } catch (const E& e) {
        return e.Message();
    }
    return "";
}

TEST(DirHistoryReadFailure, DirectoryThatCannotBeEnteredRaisesInOutError) {
    TTempDir start;
    for (const std::string& stored : {start / "gone", start.Path() + "\n"}) {
        WriteBytes(start / DirHistoryName, Bytes(stored));
        TFakeList list(start.Path());
        EXPECT_NE(ReadFails<EInOutError>(start.Path(), list), "")
            << "a trailing line break is part of the text";
        EXPECT_EQ(list.Directory, start.Path());
        EXPECT_EQ(ReadBytes(start / DirHistoryName), Bytes(stored));
    }
}

TEST(DirHistoryReadFailure, FileSharedByAnotherReaderRefusesTheExclusiveOpen) {
    TTempDir start, other;
    WriteBytes(start / DirHistoryName, Bytes(other.Path()));
    test::TLockHolder reader(start / DirHistoryName, false);
    TFakeList list(start.Path());
    const std::string message = ReadFails<EFOpenError>(start.Path(), list);
    EXPECT_NE(message.find(DirHistoryName), std::string::npos) << message;
    EXPECT_EQ(list.Directory, start.Path());
}

TEST(DirHistoryReadFailure, FileHeldExclusivelyIsPassedOverInSilence) {
    TTempDir start, other;
    WriteBytes(start / DirHistoryName, Bytes(other.Path()));
    test::TLockHolder holder(start / DirHistoryName, true);
    TFakeList list(start.Path());
    EXPECT_EQ(ReadFails<Exception>(start.Path(), list), "");
    EXPECT_EQ(list.Directory, start.Path());
}

TEST(DirHistoryReadFailure, FifoAndFolderAreNeitherBlockedOnNorRead) {
    for (const bool fifo : {true, false}) {
        TTempDir start;
        ASSERT_EQ(fifo ? ::mkfifo((start / DirHistoryName).c_str(), 0666)
                       : ::mkdir((start / DirHistoryName).c_str(), 0777),
                  0);
        TFakeList list(start.Path());
        EXPECT_EQ(ReadFails<Exception>(start.Path(), list), "");
        EXPECT_EQ(list.Directory, start.Path());
    }
}

long MaxRssKiB() {
    rusage usage{};
    ::getrusage(RUSAGE_SELF, &usage);
    return usage.ru_maxrss;
}

TEST(DirHistoryReadFailure, GigabyteSparseFileIsNotReadWhole) {
    TTempDir start;
    const std::string path = start / DirHistoryName;
    const long before = MaxRssKiB();
    for (const bool zeros : {true, false}) {
        {
            const int fd = ::open(path.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
            ASSERT_GE(fd, 0);
            if (!zeros) {
                ASSERT_EQ(::write(fd, std::string(5000, 'a').data(), 5000), 5000);
            }
            ASSERT_EQ(::ftruncate(fd, off_t{1} << 30), 0);
            ::close(fd);
        }
        TFakeList list(start.Path());
        if (zeros) {
            EXPECT_EQ(ReadFails<Exception>(start.Path(), list), "") << "a NUL first: no directory";
        } else {
            const std::string message = ReadFails<EInOutError>(start.Path(), list);
            EXPECT_NE(message.find(DirHistoryName), std::string::npos) << message;
        }
        EXPECT_EQ(list.Directory, start.Path());
    }
    EXPECT_LT(MaxRssKiB() - before, 64 * 1024) << "no buffer of the file's size";
}

TEST(DirHistoryWrite, StoresTheListsDirectoryInTheStartDirectory) {
    TTempDir start, other;
    WriteBytes(start / DirHistoryName, Bytes(std::string(500, 'x'))); // longer than what follows
    TFakeList list(start.Path());
    list.SetDirectory(other.Path()); // the user navigated away
    WriteDirHistory(start.Path(), list);
    EXPECT_EQ(ReadBytes(start / DirHistoryName), Bytes(other.Path()))
        << "no terminator, no line break";
    EXPECT_FALSE(test::Exists(other / DirHistoryName));
}

TEST(DirHistoryWrite, ThenReadGoesBackThere) {
    TTempDir start, other;
    TFakeList first(start.Path());
    first.SetDirectory(other.Path());
    WriteDirHistory(start.Path(), first);
    TFakeList second(start.Path());
    TInDirectory in(start.Path());
    ReadDirHistory(second);
    EXPECT_EQ(second.Directory, other.Path());
}

TEST(DirHistoryWrite, EmptyStartDirectoryWritesNothing) {
    TFakeList list("/tmp");
    WriteDirHistory("", list);
    EXPECT_FALSE(test::Exists("/dir.hst") && test::ReadBytes("/dir.hst") == Bytes("/tmp"));
}

TEST(DirHistoryWrite, RootStartDirectoryNamesTheFileInTheRoot) {
    EXPECT_EQ(DirHistoryPath("/"), "//dir.hst");
    EXPECT_EQ(DirHistoryPath("/home/u"), "/home/u/dir.hst");
    if (test::Exists("/dir.hst") || ::access("/", W_OK) != 0)
        GTEST_SKIP() << "the root is not ours to write";
    TFakeList list("/tmp");
    WriteDirHistory("/", list);
    EXPECT_EQ(ReadBytes("/dir.hst"), Bytes("/tmp"));
    ::unlink("/dir.hst");
}

// Each way the create can fail: the exception names the file.
struct TWriteFailureCase {
    const char* Title;
    std::function<void(const std::string& start)> Prepare;
};

class DirHistoryWriteFailure : public testing::TestWithParam<TWriteFailureCase> {};

TEST_P(DirHistoryWriteFailure, RaisesCreateErrorNamingTheFile) {
    TTempDir holder;
    const std::string start = holder / "start";
    ASSERT_EQ(::mkdir(start.c_str(), 0777), 0);
    WriteBytes(start + "/" + DirHistoryName, Bytes("/old"));
    GetParam().Prepare(start);
    TFakeList list("/tmp");
    std::string message;
    try {
        WriteDirHistory(start, list);
    } catch (const EFCreateError& e) {
        message = e.Message();
    }
    EXPECT_NE(message.find(DirHistoryPath(start)), std::string::npos) << message;
}

INSTANTIATE_TEST_SUITE_P(Cases, DirHistoryWriteFailure,
                         testing::Values(TWriteFailureCase{"StartFolderRemoved",
                                                           [](const std::string& s) {
                                                               ::unlink((s + "/dir.hst").c_str());
                                                               ::rmdir(s.c_str());
                                                           }},
                                         TWriteFailureCase{"FolderNamedDirHst",
                                                           [](const std::string& s) {
                                                               ::unlink((s + "/dir.hst").c_str());
                                                               ::mkdir((s + "/dir.hst").c_str(),
                                                                       0777);
                                                           }},
                                         TWriteFailureCase{"FifoNamedDirHst",
                                                           [](const std::string& s) {
                                                               ::unlink((s + "/dir.hst").c_str());
                                                               ::mkfifo((s + "/dir.hst").c_str(),
                                                                        0666);
                                                           }}),
                         test::TCaseTitle());

TEST(DirHistoryWriteFailureLocked, FileLockedByAnotherProgramKeepsItsContent) {
    TTempDir start;
    WriteBytes(start / DirHistoryName, Bytes("/old"));
    test::TLockHolder holder(start / DirHistoryName, false);
    TFakeList list("/tmp");
    EXPECT_THROW(WriteDirHistory(start.Path(), list), EFCreateError);
    EXPECT_EQ(ReadBytes(start / DirHistoryName), Bytes("/old"));
}

TEST(DirHistoryWriteFailureLocked, ShortWriteIsReportedAsWriteError) {
    TTempDir start;
    TFakeList list(start.Path());
    std::string message;
    {
        test::TFileSizeLimit limit(4);
        try {
            WriteDirHistory(start.Path(), list);
        } catch (const EWriteError& e) {
            message = e.Message();
        }
    }
    EXPECT_NE(message.find(DirHistoryPath(start.Path())), std::string::npos) << message;
}

} // namespace
} // namespace sveltor
