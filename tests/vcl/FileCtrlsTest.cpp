// The file-system lists on real temporary folder trees.
#include "FileCtrls.h"

#include "CaseTitle.h"
#include "Exception.h"
#include "Listing.h"
#include "TestFiles.h"
#include "Volumes.h"

#include <QTest>

#include <gtest/gtest.h>

#include <sys/stat.h>
#include <unistd.h>

#include <climits>

namespace sveltor {
namespace {

using test::TTempDir;

std::string Cwd() {
    char buffer[PATH_MAX];
    return ::getcwd(buffer, sizeof buffer) != nullptr ? buffer : "";
}

// Keeps the process's current directory as the test found it.
class TKeepCwd {
public:
    TKeepCwd() : FOld(Cwd()) {}
    ~TKeepCwd() { (void)!::chdir(FOld.c_str()); }

private:
    std::string FOld;
};

void Touch(const std::string& path) {
    test::WriteBytes(path, {'x'});
}

std::vector<std::string> Names(const QListWidget& list) {
    std::vector<std::string> names;
    for (int i = 0; i < list.count(); ++i)
        names.push_back(list.item(i)->data(Qt::UserRole).toByteArray().toStdString());
    return names;
}

class FileList : public testing::Test {
protected:
    TKeepCwd Keep;
    TTempDir Dir;
    void SetUp() override {
        for (const char* name : {"b.mid", "A.MID", "c.Mid", "notes.txt", "README", ".hidden.mid",
                                 "\xE6\x9B\xB2.mid", "\xFF\xFE.mid"})
            Touch(Dir / name);
        ::mkdir((Dir / "folder.mid").c_str(), 0777);
        ::mkfifo((Dir / "pipe.mid").c_str(), 0666);
        ::symlink((Dir / "b.mid").c_str(), (Dir / "link.mid").c_str());
        ::symlink((Dir / "gone").c_str(), (Dir / "dangling.mid").c_str());
    }
};

TEST_F(FileList, ListsRegularVisibleFilesThatMatchSorted) {
    TFileListBox list(nullptr);
    list.SetDirectory(Dir.Path());
    EXPECT_EQ(Cwd(), Dir.Path()) << "the process's current directory follows";
    EXPECT_EQ(list.Mask(), "*.*");
    EXPECT_EQ(Names(list),
              (std::vector<std::string>{"A.MID", "b.mid", "c.Mid", "link.mid", "notes.txt",
                                        "README", "\xE6\x9B\xB2.mid", "\xFF\xFE.mid"}))
        << "*.* takes names without a dot too";
    list.SetMask("*.mid");
    EXPECT_EQ(Names(list), (std::vector<std::string>{"A.MID", "b.mid", "c.Mid", "link.mid",
                                                     "\xE6\x9B\xB2.mid", "\xFF\xFE.mid"}))
        << "case ignored";
    EXPECT_EQ(list.item(4)->text(), QString::fromUtf8("\xE6\x9B\xB2.mid"));
}

TEST_F(FileList, NameThatIsNotUtf8IsSelectedByteForByte) {
    TFileListBox list(nullptr);
    list.SetDirectory(Dir.Path());
    list.SetMask("*.mid");
    list.resize(300, 400);
    list.show();
    const auto names = Names(list);
    const int row = int(std::find(names.begin(), names.end(), "\xFF\xFE.mid") - names.begin());
    ASSERT_LT(row, list.count());
    QTest::mouseClick(list.viewport(), Qt::LeftButton, {},
                      list.visualItemRect(list.item(row)).center());
    EXPECT_EQ(list.FileName(), Dir / "\xFF\xFE.mid");
    EXPECT_TRUE(test::Exists(list.FileName()));
}

TEST_F(FileList, UserSelectionRaisesOnClickAndReloadsDoNot) {
    TFileListBox list(nullptr);
    int clicks = 0;
    list.OnClick = [&](QObject*) { ++clicks; };
    list.SetDirectory(Dir.Path());
    list.resize(300, 400);
    list.show();
    EXPECT_EQ(list.FileName(), "") << "nothing selected";

    QTest::mouseClick(list.viewport(), Qt::LeftButton, {},
                      list.visualItemRect(list.item(1)).center());
    EXPECT_EQ(clicks, 1);
    EXPECT_EQ(list.FileName(), Dir / "b.mid");
    list.setFocus();
    QTest::keyClick(&list, Qt::Key_Down);
    EXPECT_EQ(clicks, 2);
    EXPECT_EQ(list.FileName(), Dir / "c.Mid");

    list.SetMask("*.*");
    EXPECT_EQ(list.FileName(), Dir / "c.Mid") << "the same mask does nothing";
    list.SetMask("*.mid");
    EXPECT_EQ(list.FileName(), "") << "a reload clears the selection";
    Touch(Dir / "new.mid");
    list.Update();
    EXPECT_EQ(list.count(), 7);
    EXPECT_EQ(clicks, 2) << "no reload raises OnClick";
}

TEST_F(FileList, FolderRemovedWhileShownListsNothing) {
    TFileListBox list(nullptr);
    TTempDir other;
    Touch(other / "x.mid");
    list.SetDirectory(other.Path());
    ASSERT_EQ(list.count(), 1);
    ASSERT_EQ(::chdir("/"), 0);
    ASSERT_EQ(::unlink((other / "x.mid").c_str()), 0);
    ASSERT_EQ(::rmdir(other.Path().c_str()), 0);
    list.Update();
    EXPECT_EQ(list.count(), 0);
    EXPECT_THROW(list.SetDirectory(Dir / "missing"), EInOutError);
}

struct TMaskCase {
    const char* Title;
    const char* Name;
    const char* Mask;
    bool Matches;
};

class Mask : public testing::TestWithParam<TMaskCase> {};

TEST_P(Mask, MatchesAsThePlatformDoes) {
    EXPECT_EQ(MatchesMask(GetParam().Name, GetParam().Mask), GetParam().Matches);
}

INSTANTIATE_TEST_SUITE_P(Cases, Mask,
                         testing::Values(TMaskCase{"StarDotStarTakesNoDot", "README", "*.*", true},
                                         TMaskCase{"StarDotStarTakesAny", "a.b.c", "*.*", true},
                                         TMaskCase{"CaseIgnored", "SONG.MID", "*.mid", true},
                                         TMaskCase{"OtherExtension", "song.midi", "*.mid", false},
                                         TMaskCase{"ShortName", "mid", "*.mid", false},
                                         TMaskCase{"QuestionMark", "a1.mid", "a?.MID", true},
                                         TMaskCase{"Backup", "SONG.MID.BAK", "*.mid", false}),
                         test::TCaseTitle());

class DirectoryList : public testing::Test {
protected:
    TKeepCwd Keep;
    TTempDir Dir;
    void SetUp() override {
        ::mkdir((Dir / "b").c_str(), 0777);
        ::mkdir((Dir / "A").c_str(), 0777);
        ::mkdir((Dir / ".hidden").c_str(), 0777);
        ::mkdir((Dir / "\xE6\x9B\xB2").c_str(), 0777);
        Touch(Dir / "file");
        ASSERT_EQ(::chdir(Dir.Path().c_str()), 0);
    }
};

TEST_F(DirectoryList, ShowsAncestorsAndSubfoldersFromTheCurrentDirectory) {
    TDirectoryListBox list(nullptr);
    EXPECT_EQ(list.Directory(), Dir.Path());
    std::vector<std::string> expected = {"/"};
    for (std::size_t slash = Dir.Path().find('/', 1); slash != std::string::npos;
         slash = Dir.Path().find('/', slash + 1))
        expected.push_back(Dir.Path().substr(0, slash));
    expected.push_back(Dir.Path());
    for (const char* sub : {"A", "b", "\xE6\x9B\xB2"})
        expected.push_back(Dir / sub);
    EXPECT_EQ(Names(list), expected);
    EXPECT_EQ(test::ListNames(Dir.Path()).size(), 5u);
    EXPECT_EQ(list.currentItem()->data(Qt::UserRole).toByteArray().toStdString(), Dir.Path());
}

TEST_F(DirectoryList, SettingMovesCwdFileListAndRaisesOnChange) {
    TDirectoryListBox list(nullptr);
    TFileListBox files(nullptr);
    list.FileList = &files;
    int changes = 0;
    list.OnChange = [&](QObject*) { ++changes; };

    list.SetDirectory("");
    list.SetDirectory(Dir.Path());
    EXPECT_EQ(changes, 0) << "empty or unchanged: nothing happens";

    list.SetDirectory("\xE6\x9B\xB2"); // relative to the current directory
    EXPECT_EQ(list.Directory(), Dir / "\xE6\x9B\xB2");
    EXPECT_EQ(Cwd(), Dir / "\xE6\x9B\xB2");
    EXPECT_EQ(files.Directory(), Dir / "\xE6\x9B\xB2");
    EXPECT_EQ(changes, 1);

    list.SetDirectory("..");
    EXPECT_EQ(list.Directory(), Dir.Path());
    EXPECT_EQ(changes, 2);
}

TEST_F(DirectoryList, FolderThatCannotBeEnteredChangesNothing) {
    TDirectoryListBox list(nullptr);
    int changes = 0;
    list.OnChange = [&](QObject*) { ++changes; };
    for (const std::string& bad : {Dir / "missing", Dir / "file"})
        EXPECT_THROW(list.SetDirectory(bad), EInOutError) << bad;
    EXPECT_EQ(list.Directory(), Dir.Path());
    EXPECT_EQ(Cwd(), Dir.Path());
    EXPECT_EQ(changes, 0);
}

TEST_F(DirectoryList, DoubleClickAndEnterMoveToAnEntry) {
    TDirectoryListBox list(nullptr);
    list.resize(300, 400);
    list.show();
    const auto names = Names(list);
    const int a = int(std::find(names.begin(), names.end(), Dir / "A") - names.begin());
    const QPoint onA = list.visualItemRect(list.item(a)).center();
    // QTest takes a double click as such only after a click it saw.
    QTest::mouseClick(list.viewport(), Qt::LeftButton, {}, onA);
    EXPECT_EQ(list.Directory(), Dir.Path()) << "a single click does not move";
    QTest::mouseDClick(list.viewport(), Qt::LeftButton, {}, onA);
    EXPECT_EQ(list.Directory(), Dir / "A");

    list.setFocus();
    const auto now = Names(list);
    list.setCurrentRow(int(std::find(now.begin(), now.end(), Dir.Path()) - now.begin()));
    QTest::keyClick(&list, Qt::Key_Return);
    EXPECT_EQ(list.Directory(), Dir.Path());
}

TEST_F(DirectoryList, FolderRemovedWhileShown) {
    TDirectoryListBox list(nullptr);
    list.SetDirectory("b");
    ASSERT_EQ(::mkdir((Dir / "b/inner").c_str(), 0777), 0);
    list.Update();
    ASSERT_EQ(list.count(), int(Names(list).size()));
    const int withInner = list.count();
    ASSERT_EQ(::rmdir((Dir / "b/inner").c_str()), 0);
    EXPECT_THROW(list.SetDirectory(Dir / "b/inner"), EInOutError);
    ASSERT_EQ(::chdir(Dir.Path().c_str()), 0);
    ASSERT_EQ(::rmdir((Dir / "b").c_str()), 0);
    list.Update();
    EXPECT_EQ(list.count(), withInner - 1) << "the ancestors are left";
    list.SetDirectory(Dir.Path());
    EXPECT_EQ(list.Directory(), Dir.Path()) << "and the way up works";
}

struct TVolumeCase {
    const char* Title;
    const char* Mounts;
    std::vector<std::string> Volumes;
};

class Volumes : public testing::TestWithParam<TVolumeCase> {};

TEST_P(Volumes, AreTheOnesAUserBrowses) {
    EXPECT_EQ(ParseVolumes(GetParam().Mounts), GetParam().Volumes);
}

INSTANTIATE_TEST_SUITE_P(
    Cases, Volumes,
    testing::Values(TVolumeCase{"RootAlways", "", {"/"}},
                    TVolumeCase{
                        "PseudoFileSystemsLeftOut",
                        "proc /proc proc rw 0 0\nsysfs /sys sysfs rw 0 0\ntmpfs /run tmpfs rw 0 0\n"
                        "/dev/sda1 / ext4 rw 0 0\ntmpfs /media/ram tmpfs rw 0 0\n",
                        {"/"}},
                    TVolumeCase{"SeparateHomeAndRemovableMedia",
                                "/dev/sda1 / ext4 rw 0 0\n/dev/sda2 /home ext4 rw 0 0\n"
                                "/dev/sdb1 /media/u/STICK vfat rw 0 0\n/dev/sdc1 "
                                "/run/media/u/My\\040Disk exfat rw 0 0\n"
                                "/dev/sda3 /var ext4 rw 0 0\n",
                                {"/", "/home", "/media/u/STICK", "/run/media/u/My Disk"}}),
    test::TCaseTitle());

TEST(Volumes, DirectoryLiesOnTheLongestMountThatHoldsIt) {
    const std::vector<std::string> volumes = {"/", "/home", "/media/u/STICK"};
    EXPECT_EQ(VolumeOf("/home/u/Music", volumes), "/home");
    EXPECT_EQ(VolumeOf("/homework", volumes), "/");
    EXPECT_EQ(VolumeOf("/media/u/STICK", volumes), "/media/u/STICK");
}

TEST(DriveCombo, EachVolumeRemembersItsDirectoryAndAGoneVolumeRaises) {
    TKeepCwd keep;
    TTempDir dir;
    TDriveComboBox drives(nullptr);
    TDirectoryListBox list(nullptr);
    drives.DirList = &list;
    list.DriveCombo = &drives;
    list.SetDirectory(dir.Path());
    EXPECT_EQ(drives.Drive(), VolumeOf(dir.Path(), MountedVolumes()));

    list.SetDirectory("/");
    drives.SetDrive(VolumeOf(dir.Path(), MountedVolumes()));
    EXPECT_EQ(list.Directory(), "/") << "the volume's own current directory, the last one set";

    EXPECT_THROW(drives.SetDrive("/media/nobody/GONE"), EInOutError);
    EXPECT_EQ(list.Directory(), "/");
    EXPECT_EQ(drives.Drive(), "/");
}

} // namespace
} // namespace sveltor
