// No file is ever lost: the Convert operation with each of its system calls failing in
// turn, killed at each of them, and raced by a second process.
#include "BackupNames.h"
#include "CaseTitle.h"
#include "Convert.h"
#include "Exception.h"
#include "SysCalls.h"
#include "TestFiles.h"

#include <gtest/gtest.h>

#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>
#include <map>
#include <optional>

namespace sveltor {
namespace {

using test::TBytes;
using test::TTempDir;

enum class TBackup { Bak, Dollar, None };

// Confirms the dialog with the chosen backup; optionally waits at the question.
class THost : public TConvertHost {
public:
    explicit THost(TBackup backup) : FBackup(backup) {}
    std::function<void()> WhileAsking;
    void ShowStatus(const std::string&) override {}
    void DisableConvert() override {}
    void RefreshFileList() override {}
    std::unique_ptr<TBackupPrompt> CreateBackupPrompt() override {
        struct TPrompt : TBackupPrompt {
            THost& Host;
            explicit TPrompt(THost& host) : Host(host) {}
            bool Confirm(TSplitPath& parts) override {
                TBackupNames names;
                names.SetupBackupNames(parts);
                if (Host.FBackup == TBackup::Dollar)
                    names.ApplyOption2();
                if (Host.WhileAsking)
                    Host.WhileAsking();
                return true;
            }
            bool BackupWanted() const override { return Host.FBackup != TBackup::None; }
        };
        return std::make_unique<TPrompt>(*this);
    }

private:
    TBackup FBackup;
};

// The errno each call fails with: what a full disk, a failing disk or a refusal gives.
int ErrnoFor(const std::string& call) {
    static const std::map<std::string, int> errors = {
        {"open", EACCES},   {"stat", EACCES},   {"renameat2", EACCES}, {"unlink", EACCES},
        {"write", ENOSPC},  {"linkat", ENOSPC}, {"link", ENOSPC},      {"ftruncate", ENOSPC},
        {"fchmod", EACCES}, {"fchown", EACCES}, {"mmap", ENOMEM},      {"flock", EWOULDBLOCK},
    };
    const auto found = errors.find(call);
    return found != errors.end() ? found->second : EIO; // read, fsync, close, fstat, fcntl
}

// Fails the Nth call, once.
class TFailNth : public sys::TFaultHook {
public:
    explicit TFailNth(int n) : FN(n) {}
    int Count = 0;
    std::string Failed;
    int Before(const char* call) override {
        if (++Count != FN)
            return 0;
        Failed = call;
        return ErrnoFor(call);
    }

private:
    int FN;
};

// Puts a hook in place for a scope.
class THookScope {
public:
    explicit THookScope(sys::TFaultHook& hook) { sys::FaultHook = &hook; }
    ~THookScope() { sys::FaultHook = nullptr; }
};

const char* BackupName(TBackup backup) {
    return backup == TBackup::Bak      ? "FILE.MID.BAK"
           : backup == TBackup::Dollar ? "$ILE.MID"
                                       : "FILE.MID.BAK";
}

std::optional<TBytes> Content(const std::string& path) {
    if (!test::Exists(path))
        return std::nullopt;
    return test::ReadBytes(path);
}

struct TState {
    std::optional<TBytes> Source, Backup, Temp;
};

TState Look(const TTempDir& dir, TBackup backup) {
    return {Content(dir / "FILE.MID"), Content(dir / BackupName(backup)),
            Content(dir / TempFileName)};
}

// The invariant after any failure or crash: the original is whole under one of its two
// names, and the source name holds the original or the whole stripped copy. Without a
// backup the original may go, but only once the stripped copy has its name.
void ExpectNothingLost(const TState& s, const TBytes& original, const TBytes& stripped,
                       TBackup backup, const std::string& where) {
    const bool finishedWithoutBackup = backup == TBackup::None && s.Source == stripped;
    EXPECT_TRUE(s.Source == original || s.Backup == original || finishedWithoutBackup)
        << where << ": the original is lost";
    EXPECT_TRUE(!s.Source || *s.Source == original || *s.Source == stripped)
        << where << ": the source is half-made";
}

struct TModeCase {
    const char* Title;
    TBackup Backup;
};

const TModeCase Modes[] = {
    {"Bak", TBackup::Bak}, {"Dollar", TBackup::Dollar}, {"NoBackup", TBackup::None}};

const TBytes Original = test::WrappedMidi(5000);
const TBytes Stripped(Original.begin() + 128, Original.end());

class FaultInjection : public testing::TestWithParam<TModeCase> {};

TEST_P(FaultInjection, EveryFailingCallLeavesEveryFileWhole) {
    const TBackup backup = GetParam().Backup;
    int points = 0;
    for (int n = 1; n < 200; ++n) {
        TTempDir dir;
        test::WriteBytes(dir / "FILE.MID", Original);
        THost host(backup);
        TFailNth hook(n);
        std::string error;
        {
            THookScope scope(hook);
            try {
                ConvertFile(dir / "FILE.MID", dir.Path(), host, codepage::Utf8);
            } catch (const Exception& e) {
                error = e.Message();
            }
        }
        const TState s = Look(dir, backup);
        const std::string where = "call " + std::to_string(n) + " (" + hook.Failed + ")";
        if (hook.Count < n) {
            // No call left to fail: the conversion went through.
            EXPECT_EQ(error, "");
            EXPECT_EQ(s.Source, Stripped);
            EXPECT_EQ(s.Backup, backup == TBackup::None ? std::nullopt : std::optional(Original));
            points = n - 1;
            break;
        }
        ++points;
        EXPECT_TRUE(s.Source.has_value())
            << where << ": a single failure never leaves the name empty";
        ExpectNothingLost(s, Original, Stripped, backup, where);
        EXPECT_FALSE(s.Temp.has_value()) << where << ": MID5.TMP left";
        // A conversion that did not happen says why; no failure passes as success.
        EXPECT_TRUE(s.Source == Stripped || !error.empty()) << where;
    }
    EXPECT_GT(points, 20);
    RecordProperty("FaultPoints", points);
    std::printf("fault points covered (%s): %d\n", GetParam().Title, points);
}

INSTANTIATE_TEST_SUITE_P(Backups, FaultInjection, testing::ValuesIn(Modes), test::TCaseTitle());

// Kills the process at the Nth call, before it runs.
class TKillAt : public sys::TFaultHook {
public:
    explicit TKillAt(int n) : FN(n) {}
    int Before(const char*) override {
        if (++FCount == FN)
            ::raise(SIGKILL);
        return 0;
    }

private:
    int FN;
    int FCount = 0;
};

class CrashTest : public testing::TestWithParam<TModeCase> {};

TEST_P(CrashTest, KilledAtAnyCallLosesNothingAndCanBeRetried) {
    const TBackup backup = GetParam().Backup;
    int points = 0;
    for (int n = 1; n < 200; ++n) {
        TTempDir dir;
        test::WriteBytes(dir / "FILE.MID", Original);
        const pid_t child = ::fork();
        ASSERT_GE(child, 0);
        if (child == 0) {
            TKillAt hook(n);
            sys::FaultHook = &hook;
            THost host(backup);
            try {
                ConvertFile(dir / "FILE.MID", dir.Path(), host, codepage::Utf8);
            } catch (...) {
                ::_exit(1);
            }
            ::_exit(0);
        }
        int status = 0;
        ::waitpid(child, &status, 0);
        const bool killed = WIFSIGNALED(status) && WTERMSIG(status) == SIGKILL;
        const TState s = Look(dir, backup);
        const std::string where = "killed at call " + std::to_string(n);
        if (!killed) {
            EXPECT_EQ(WEXITSTATUS(status), 0);
            EXPECT_EQ(s.Source, Stripped);
            points = n - 1;
            break;
        }
        ++points;
        ExpectNothingLost(s, Original, Stripped, backup, where);
        EXPECT_TRUE(!s.Temp || *s.Temp == Stripped) << where << ": MID5.TMP is not a whole copy";

        // Converting what is left works, or refuses saying why.
        THost host(backup);
        try {
            ConvertFile(dir / "FILE.MID", dir.Path(), host, codepage::Utf8);
        } catch (const Exception& e) {
            EXPECT_FALSE(e.Message().empty()) << where;
        }
        ExpectNothingLost(Look(dir, backup), Original, Stripped, backup,
                          where + ", after the retry");
    }
    EXPECT_GT(points, 20);
    std::printf("crash points covered (%s): %d\n", GetParam().Title, points);
}

INSTANTIATE_TEST_SUITE_P(Backups, CrashTest, testing::ValuesIn(Modes), test::TCaseTitle());

TEST(Concurrency, TwoProcessesOnOneFileConvertItOnce) {
    TTempDir dir;
    test::WriteBytes(dir / "FILE.MID", Original);
    int asking[2], go[2];
    ASSERT_EQ(::pipe(asking), 0);
    ASSERT_EQ(::pipe(go), 0);

    const pid_t first = ::fork();
    ASSERT_GE(first, 0);
    if (first == 0) {
        THost host(TBackup::Bak);
        // Holds the file at the question until the second process has tried.
        host.WhileAsking = [&] {
            char c = 'a';
            (void)!::write(asking[1], &c, 1);
            (void)!::read(go[0], &c, 1);
        };
        try {
            ConvertFile(dir / "FILE.MID", dir.Path(), host, codepage::Utf8);
        } catch (...) {
            ::_exit(1);
        }
        ::_exit(0);
    }
    char c;
    ASSERT_EQ(::read(asking[0], &c, 1), 1);

    const pid_t second = ::fork();
    ASSERT_GE(second, 0);
    if (second == 0) {
        THost host(TBackup::Bak);
        try {
            ConvertFile(dir / "FILE.MID", dir.Path(), host, codepage::Utf8);
        } catch (const EFOpenError&) {
            ::_exit(3); // refused at the open, as it must be
        } catch (...) {
            ::_exit(1);
        }
        ::_exit(0);
    }
    int status = 0;
    ::waitpid(second, &status, 0);
    EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 3) << "the second fails at the open";
    ASSERT_EQ(::write(go[1], "g", 1), 1);
    ::waitpid(first, &status, 0);
    EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0) << "the first converts";
    EXPECT_EQ(test::ReadBytes(dir / "FILE.MID"), Stripped) << "stripped once, not twice";
    EXPECT_EQ(test::ReadBytes(dir / "FILE.MID.BAK"), Original);
    for (int fd : {asking[0], asking[1], go[0], go[1]})
        ::close(fd);
}

} // namespace
} // namespace sveltor
