#include "base/atomicfile.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <ctime>
#include <filesystem>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "../support/scratchfolder.h"
#include "base/privatefolder.h"

namespace tarvel {
namespace {

namespace fs = std::filesystem;

// A user that is not the one running the tests; only root can hand files to it.
constexpr uid_t OTHER_USER = 65534;

struct stat statOf(const std::string& path) {
    struct stat info {};
    ::lstat(path.c_str(), &info);
    return info;
}

unsigned modeOf(const std::string& path) {
    return statOf(path).st_mode & 07777;
}

// Names in the folder that a failed or finished atomic write may have left.
std::vector<std::string> leftoverTemporaries(const std::string& folder) {
    std::vector<std::string> names;
    for (const auto& entry : fs::directory_iterator(folder)) {
        const std::string name = entry.path().filename().string();
        if (name.starts_with(".tarvel-")) {
            names.push_back(name);
        }
    }
    return names;
}

void makeOld(const std::string& path, std::time_t secondsAgo) {
    const struct timespec when[2] = {{std::time(nullptr) - secondsAgo, 0},
                                     {std::time(nullptr) - secondsAgo, 0}};
    ::utimensat(AT_FDCWD, path.c_str(), when, AT_SYMLINK_NOFOLLOW);
}

TEST(AtomicWrite, ReplacesContentAndKeepsPermissions) {
    ScratchFolder scratch;
    std::string error;

    const std::string fresh = scratch.at("new.fsm");
    ASSERT_TRUE(WriteFileAtomically(fresh, "first", error)) << error;
    EXPECT_EQ(readFile(fresh), "first");

    const std::string existing = scratch.write("old.fsm", "old content that is longer");
    ::chmod(existing.c_str(), 0640);
    ASSERT_TRUE(WriteFileAtomically(existing, "new", error)) << error;
    EXPECT_EQ(readFile(existing), "new");
    EXPECT_EQ(modeOf(existing), 0640u);

    // Writing through the user's own link replaces the file it points to; the
    // link stays.
    const std::string link = scratch.at("link.fsm");
    fs::create_symlink(existing, link);
    ASSERT_TRUE(WriteFileAtomically(link, "via link", error)) << error;
    EXPECT_TRUE(fs::is_symlink(link));
    EXPECT_EQ(readFile(existing), "via link");

    // A relative name is written in the current directory.
    scratch.enter();
    ASSERT_TRUE(WriteFileAtomically("rel.fsm", "here", error)) << error;
    EXPECT_EQ(readFile(scratch.at("rel.fsm")), "here");

    EXPECT_TRUE(leftoverTemporaries(scratch.path()).empty());
}

TEST(AtomicWrite, KeepsTheOwnerAndGroupOfTheFileItReplaces) {
    if (::geteuid() != 0) {
        GTEST_SKIP() << "only root can give a file to another user";
    }
    ScratchFolder scratch;
    const std::string theirs = scratch.write("theirs.c", "old");
    ASSERT_EQ(::chown(theirs.c_str(), OTHER_USER, OTHER_USER), 0);
    ::chmod(theirs.c_str(), 0604);
    std::string error;
    ASSERT_TRUE(WriteFileAtomically(theirs, "new", error)) << error;
    EXPECT_EQ(readFile(theirs), "new");
    EXPECT_EQ(statOf(theirs).st_uid, OTHER_USER);
    EXPECT_EQ(statOf(theirs).st_gid, OTHER_USER);
    EXPECT_EQ(modeOf(theirs), 0604u);
}

TEST(AtomicWrite, FailureLeavesTheTargetAndNoTemporaryFile) {
    ScratchFolder scratch;
    std::string error;

    // A missing folder.
    EXPECT_FALSE(WriteFileAtomically(scratch.at("none/a.fsm"), "x", error));
    EXPECT_NE(error.find("No such file or directory"), std::string::npos) << error;

    // The target is a folder.
    const std::string folder = scratch.makeFolder("d.fsm");
    scratch.write("d.fsm/inside", "kept");
    error.clear();
    EXPECT_FALSE(WriteFileAtomically(folder, "x", error));
    EXPECT_FALSE(error.empty());
    EXPECT_EQ(readFile(scratch.at("d.fsm/inside")), "kept");
    EXPECT_TRUE(leftoverTemporaries(scratch.path()).empty());
}

TEST(AtomicWrite, FailsInAReadOnlyFolder) {
    if (::geteuid() == 0) {
        GTEST_SKIP() << "root writes into read-only folders";
    }
    ScratchFolder scratch;
    const std::string folder = scratch.makeFolder("ro");
    const std::string target = scratch.write("ro/a.fsm", "original");
    fs::permissions(folder, fs::perms::owner_read | fs::perms::owner_exec,
                    fs::perm_options::replace);
    std::string error;
    EXPECT_FALSE(WriteFileAtomically(target, "x", error));
    EXPECT_NE(error.find("Permission denied"), std::string::npos) << error;
    EXPECT_EQ(readFile(target), "original");
}

// A link at an output name is followed only when it is the user's own and
// points to a regular file the user may write, whatever the kernel's setting
// for links in shared folders; otherwise nothing is written through it.
TEST(AtomicWrite, FollowsOnlyTheUsersOwnLinksToFilesTheUserMayWrite) {
    const struct {
        const char* name;
        bool needsRoot;     // to give the link to another user
        bool needsNonRoot;  // root may write any file
        void (*plant)(ScratchFolder&, const std::string& link);
        const char* reason;
    } cases[] = {
        {"a link of another user", true, false,
         [](ScratchFolder& s, const std::string& link) {
             fs::create_symlink(s.at("victim"), link);
             ASSERT_EQ(::lchown(link.c_str(), OTHER_USER, OTHER_USER), 0);
         },
         "of another user"},
        {"a link that leads nowhere", false, false,
         [](ScratchFolder& s, const std::string& link) {
             fs::create_symlink(s.at("nothing"), link);
         },
         "leads nowhere"},
        {"a link to a folder", false, false,
         [](ScratchFolder& s, const std::string& link) {
             fs::create_symlink(s.makeFolder("folder"), link);
         },
         "not a regular file"},
        {"a link to a read-only file", false, true,
         [](ScratchFolder& s, const std::string& link) {
             ::chmod(s.at("victim").c_str(), 0444);
             fs::create_symlink(s.at("victim"), link);
         },
         "may not write"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        if ((c.needsRoot && ::geteuid() != 0) || (c.needsNonRoot && ::geteuid() == 0)) {
            continue;
        }
        ScratchFolder scratch;
        const std::string victim = scratch.write("victim", "precious");
        const std::string link = scratch.at("Door.c");
        c.plant(scratch, link);
        std::string error;
        WriteFailure failure = WriteFailure::None;
        EXPECT_FALSE(WriteFileAtomically(link, "generated", error, &failure));
        EXPECT_EQ(failure, WriteFailure::Refused);
        EXPECT_NE(error.find(link), std::string::npos) << error;
        EXPECT_NE(error.find(c.reason), std::string::npos) << error;
        EXPECT_EQ(readFile(victim), "precious");
        EXPECT_TRUE(fs::is_symlink(link));
        EXPECT_FALSE(fs::exists(scratch.at("nothing")));
        EXPECT_TRUE(leftoverTemporaries(scratch.path()).empty());
    }
}

TEST(AtomicWrite, ASetChangesNothingUnlessEveryFileCanBeWritten) {
    ScratchFolder scratch;
    const std::string header = scratch.write("Door.h", "old header");
    const std::string module = scratch.write("Door.c", "old module");
    scratch.makeFolder("Door.lst");
    const WriteResult failed =
        WriteFilesAtomically({{header, "new header", std::nullopt},
                              {module, "new module", std::nullopt},
                              {scratch.at("Door.lst"), "list", std::nullopt}});
    EXPECT_FALSE(failed.ok());
    EXPECT_EQ(failed.file, 2u);
    EXPECT_EQ(readFile(header), "old header");
    EXPECT_EQ(readFile(module), "old module");
    EXPECT_TRUE(leftoverTemporaries(scratch.path()).empty());

    EXPECT_TRUE(WriteFilesAtomically(
                    {{header, "new header", std::nullopt}, {module, "new module", std::nullopt}})
                    .ok());
    EXPECT_EQ(readFile(header), "new header");
    EXPECT_EQ(readFile(module), "new module");
}

TEST(AtomicWrite, TheBackupKeepsThePreviousVersionWithItsMode) {
    ScratchFolder scratch;
    const std::string path = scratch.write("Door.fsm", "first");
    ::chmod(path.c_str(), 0600);
    std::string error;
    ASSERT_TRUE(WriteFileKeepingBackup(path, path + ".bak", "second", error)) << error;
    EXPECT_EQ(readFile(path), "second");
    EXPECT_EQ(readFile(path + ".bak"), "first");
    // A private diagram does not leak through its backup.
    EXPECT_EQ(modeOf(path + ".bak"), 0600u);

    // No backup is made of a file that was not there.
    const std::string fresh = scratch.at("New.fsm");
    ASSERT_TRUE(WriteFileKeepingBackup(fresh, fresh + ".bak", "x", error)) << error;
    EXPECT_FALSE(fs::exists(fresh + ".bak"));
}

TEST(AtomicWrite, NamesOfOwnTemporaryFiles) {
    const struct {
        const char* name;
        bool own;
    } cases[] = {
        {".tarvel-0123456789ab.tmp", true},
        {".tarvel-0123456789AB.tmp", false},  // the writer uses lower case
        {".tarvel-0123.tmp", false},
        {"Door.fsm.aB3xQ9", true},
        {"Door.FSM.a1b2c3", true},
        {"Door.fsm.bak.Zq81Ls", true},
        {"Door.fsm.backup", false},  // a word: a name the user chose
        {"Door.fsm.BACKUP", false},
        {"Door.fsm.Before", false},
        {"Door.fsm.a1-b2c", false},
        {"Door.c.a1b2c3", false},
        {"Door.fsm", false},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(isOwnTemporaryName(c.name), c.own) << c.name;
    }
}

TEST(AtomicWrite, AWriteRemovesTheStaleTemporariesOfKilledRuns) {
    ScratchFolder scratch;
    const std::string stale = scratch.write(".tarvel-00000000000a.tmp", "half");
    const std::string oldStyle = scratch.write("Door.fsm.x1Y2z3", "half");
    const std::string recent = scratch.write(".tarvel-00000000000b.tmp", "being written");
    const std::string users = scratch.write("Door.fsm.backup", "the user's");
    makeOld(stale, 120);
    makeOld(oldStyle, 120);
    makeOld(users, 120);
    std::string theirs;
    if (::geteuid() == 0) {
        theirs = scratch.write(".tarvel-00000000000c.tmp", "another user's");
        makeOld(theirs, 120);
        ASSERT_EQ(::lchown(theirs.c_str(), OTHER_USER, OTHER_USER), 0);
    }
    std::string error;
    ASSERT_TRUE(WriteFileAtomically(scratch.at("Door.c"), "code", error)) << error;
    EXPECT_FALSE(fs::exists(stale));
    EXPECT_FALSE(fs::exists(oldStyle));
    EXPECT_TRUE(fs::exists(recent));
    EXPECT_TRUE(fs::exists(users));
    if (!theirs.empty()) {
        EXPECT_TRUE(fs::exists(theirs));
    }
}

TEST(AtomicWrite, InAPrivateFolderNothingIsFollowedOrForeign) {
    ScratchFolder scratch;
    const auto folder = PrivateFolder::open(scratch.at("private"));
    ASSERT_TRUE(folder->usable());
    std::string error;
    ASSERT_TRUE(WriteFileAtomicallyAt(folder->fd(), "a.UND", "snapshot", error)) << error;
    EXPECT_EQ(readFile(scratch.at("private/a.UND")), "snapshot");

    // Even the user's own link there is refused, and nothing reaches its target.
    const std::string victim = scratch.write("victim", "precious");
    fs::create_symlink(victim, scratch.at("private/b.UND"));
    EXPECT_FALSE(WriteFileAtomicallyAt(folder->fd(), "b.UND", "snapshot", error));
    EXPECT_NE(error.find("not a file of yours"), std::string::npos) << error;
    EXPECT_EQ(readFile(victim), "precious");
}

}  // namespace
}  // namespace tarvel
