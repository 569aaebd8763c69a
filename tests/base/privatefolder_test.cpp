#include "base/privatefolder.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <filesystem>
#include <string>

#include <gtest/gtest.h>

#include "../support/scopedenv.h"
#include "../support/scratchfolder.h"
#include "base/paths.h"

namespace tarvel {
namespace {

namespace fs = std::filesystem;

// A user that is not the one running the tests; only root can hand files to it.
constexpr uid_t OTHER_USER = 65534;

unsigned modeOf(const std::string& path) {
    struct stat info {};
    ::lstat(path.c_str(), &info);
    return info.st_mode & 07777;
}

class PrivateFolderTest : public ::testing::Test {
protected:
    std::shared_ptr<const PrivateFolder> open() {
        return PrivateFolder::open(PrivateFolder::userFolderPath());
    }
    // Says why the folder was refused; fails when it was not.
    std::string refusal() {
        const auto folder = open();
        EXPECT_FALSE(folder->usable());
        EXPECT_EQ(folder->fd(), -1);
        return folder->error();
    }

    ScratchFolder m_scratch;
    ScopedEnv m_env{"TMPDIR", m_scratch.path()};
    std::string m_expected = m_scratch.at("tarvel-" + std::to_string(::geteuid()));
};

TEST_F(PrivateFolderTest, CreatesAFolderOnlyTheUserCanReach) {
    EXPECT_EQ(PrivateFolder::userFolderPath(), m_expected);
    const auto folder = open();
    ASSERT_TRUE(folder->usable()) << folder->error();
    EXPECT_EQ(folder->path(), m_expected);
    EXPECT_TRUE(fs::is_directory(m_expected));
    EXPECT_EQ(modeOf(m_expected), 0700u);
    // A second start uses the same folder.
    EXPECT_TRUE(open()->usable());
}

TEST_F(PrivateFolderTest, TakesGroupAndOtherPermissionsAway) {
    fs::create_directory(m_expected);
    m_scratch.write(GetFileName(m_expected) + "/mine.fsm");
    ::chmod(m_expected.c_str(), 0777);
    EXPECT_TRUE(open()->usable());
    EXPECT_EQ(modeOf(m_expected), 0700u);
}

TEST_F(PrivateFolderTest, RefusesALinkOrAFile) {
    const std::string elsewhere = m_scratch.makeFolder("elsewhere");
    fs::create_directory_symlink(elsewhere, m_expected);
    EXPECT_NE(refusal().find("symbolic link"), std::string::npos);

    fs::remove(m_expected);
    m_scratch.write(GetFileName(m_expected), "x");
    EXPECT_NE(refusal().find("not a directory"), std::string::npos);
}

TEST_F(PrivateFolderTest, RefusesAFolderOfAnotherUser) {
    if (::geteuid() != 0) {
        GTEST_SKIP() << "only root can give a folder to another user";
    }
    fs::create_directory(m_expected);
    ASSERT_EQ(::chown(m_expected.c_str(), OTHER_USER, OTHER_USER), 0);
    EXPECT_NE(refusal().find("another user"), std::string::npos);
}

// A folder once left open to everybody, holding another user's "undo" link:
// closing it again does not make what was planted there trustworthy, on this
// start or any later one.
TEST_F(PrivateFolderTest, DistrustsWhatOthersLeftInAnOpenFolderOnEveryStart) {
    if (::geteuid() != 0) {
        GTEST_SKIP() << "only root can give a file to another user";
    }
    fs::create_directory(m_expected);
    ::chmod(m_expected.c_str(), 0777);
    const std::string theirs = m_scratch.makeFolder("theirs");
    const std::string planted = m_expected + "/undo";
    fs::create_directory_symlink(theirs, planted);
    ASSERT_EQ(::lchown(planted.c_str(), OTHER_USER, OTHER_USER), 0);

    EXPECT_NE(refusal().find("another user"), std::string::npos);
    EXPECT_EQ(modeOf(m_expected), 0700u);
    EXPECT_NE(refusal().find("another user"), std::string::npos);  // the next start
    EXPECT_TRUE(fs::is_empty(theirs));
}

TEST_F(PrivateFolderTest, SubfoldersAreOpenedWithoutFollowingLinks) {
    const auto folder = open();
    ASSERT_TRUE(folder->usable());

    const auto undo = folder->subfolder("undo");
    ASSERT_TRUE(undo->usable()) << undo->error();
    EXPECT_EQ(undo->path(), m_expected + "/undo");
    EXPECT_EQ(modeOf(undo->path()), 0700u);
    // Files are made through the handle, in the folder that was checked.
    const int fd = ::openat(undo->fd(), "x", O_WRONLY | O_CREAT | O_CLOEXEC, 0600);
    ASSERT_GE(fd, 0);
    ::close(fd);
    EXPECT_TRUE(fs::exists(m_expected + "/undo/x"));

    // Even the user's own link is not followed below the private folder.
    const std::string elsewhere = m_scratch.makeFolder("elsewhere");
    fs::create_directory_symlink(elsewhere, m_expected + "/linked");
    const auto linked = folder->subfolder("linked");
    EXPECT_FALSE(linked->usable());
    EXPECT_NE(linked->error().find("symbolic link"), std::string::npos) << linked->error();

    m_scratch.write(GetFileName(m_expected) + "/plain", "x");
    EXPECT_NE(folder->subfolder("plain")->error().find("not a directory"), std::string::npos);
    EXPECT_FALSE(folder->subfolder("../elsewhere")->usable());
    EXPECT_TRUE(fs::is_empty(elsewhere));

    if (::geteuid() == 0) {
        const std::string theirs = m_scratch.makeFolder(GetFileName(m_expected) + "/theirs");
        ASSERT_EQ(::chown(theirs.c_str(), OTHER_USER, OTHER_USER), 0);
        EXPECT_NE(folder->subfolder("theirs")->error().find("another user"), std::string::npos);
    }
}

}  // namespace
}  // namespace tarvel
