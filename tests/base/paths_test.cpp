#include "base/paths.h"

#include <sys/stat.h>
#include <unistd.h>

#include <filesystem>
#include <string>

#include <gtest/gtest.h>

#include "../support/scopedenv.h"
#include "../support/scratchfolder.h"

namespace tarvel {
namespace {

namespace fs = std::filesystem;

unsigned modeOf(const std::string& path) {
    struct stat info {};
    ::lstat(path.c_str(), &info);
    return info.st_mode & 07777;
}

TEST(PathText, SplitsPaths) {
    const struct {
        const char* path;
        const char* fileName;
        const char* baseName;
        const char* stripped;
        const char* directory;
    } cases[] = {
        {"/x/model.old.fsm", "model.old.fsm", "model.old", "/x/model.old", "/x"},
        {"/x/model", "model", "model", "", "/x"},
        // StripExtension cuts at the last "." of the whole path, folders
        // included; GetBaseName only looks at the file name.
        {"/a.b/c", "c", "c", "/a", "/a.b"},
        {"/a/b/", "", "", "", "/a/b"},
        {"/x.fsm", "x.fsm", "x", "/x", "/"},
        {"x.fsm", "x.fsm", "x", "x", ""},
        {"sub/x.fsm", "x.fsm", "x", "sub/x", "sub"},
        {"/x/.hidden", ".hidden", "", "/x/", "/x"},
        {"/", "", "", "", "/"},
        {"", "", "", "", ""},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.path);
        EXPECT_EQ(GetFileName(c.path), c.fileName);
        EXPECT_EQ(GetBaseName(c.path), c.baseName);
        EXPECT_EQ(StripExtension(c.path), c.stripped);
        EXPECT_EQ(GetDirectory(c.path), c.directory);
    }
}

TEST(PathText, MakeFullPathResolvesAgainstTheCurrentDirectory) {
    ScratchFolder scratch;
    scratch.enter();
    const std::string here = CurrentDirectory();
    ASSERT_EQ(fs::path(here), fs::canonical(scratch.path()));

    EXPECT_EQ(MakeFullPath("FSM_0001.fsm"), here + "/FSM_0001.fsm");
    EXPECT_EQ(MakeFullPath("./a.fsm"), here + "/a.fsm");
    EXPECT_EQ(MakeFullPath("sub/a.fsm"), here + "/sub/a.fsm");
    EXPECT_EQ(MakeFullPath("/abs/a.fsm"), "/abs/a.fsm");

    // The root's "/" is not doubled.
    fs::current_path("/");
    EXPECT_EQ(MakeFullPath("a.fsm"), "/a.fsm");
    EXPECT_EQ(MakeFullPath("./a.fsm"), "/a.fsm");
}

TEST(PathText, MakeFullPathKeepsARelativePathWhenTheCurrentDirectoryIsGone) {
    ScratchFolder scratch;
    const std::string doomed = scratch.makeFolder("doomed");
    scratch.enter();
    fs::current_path(doomed);
    fs::remove(doomed);
    EXPECT_EQ(CurrentDirectory(), "");
    EXPECT_EQ(MakeFullPath("a.fsm"), "a.fsm");
}

TEST(PathText, CanonicalPathResolvesLinksAndDots) {
    ScratchFolder scratch;
    const std::string real = fs::canonical(scratch.path()).string();
    scratch.write("d/a.fsm");
    fs::create_directory_symlink(scratch.at("d"), scratch.at("l"));
    const struct {
        std::string path;
        std::string expected;
    } cases[] = {
        {scratch.at("d/a.fsm"), real + "/d/a.fsm"},
        {scratch.at("l/a.fsm"), real + "/d/a.fsm"},
        {scratch.at("d/../d/./a.fsm"), real + "/d/a.fsm"},
        {"/.." + scratch.at("d/a.fsm"), real + "/d/a.fsm"},
        // A file not there yet is named in its resolved folder.
        {scratch.at("l/new.fsm"), real + "/d/new.fsm"},
        // Nothing of it exists: the dots are resolved in the text.
        {"/no/such/../folder/./x.fsm", "/no/folder/x.fsm"},
        {"/../x.fsm", "/x.fsm"},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(CanonicalPath(c.path), c.expected) << c.path;
    }
}

TEST(FileChecks, OnlyRegularFilesOfExactlyThatNameExist) {
    ScratchFolder scratch;
    const std::string file = scratch.write("a.fsm", "x");
    const std::string folder = scratch.makeFolder("d.fsm");
    fs::create_symlink(file, scratch.at("link.fsm"));
    fs::create_symlink(scratch.at("nothing"), scratch.at("dangling.fsm"));
    scratch.write("m.Fsm");
    scratch.write("U.FSM");
    scratch.write("a.fsm.bak");

    const struct {
        std::string path;
        bool file;
        bool path_;
        bool fsm;
    } cases[] = {
        {file, true, true, true},
        {folder, false, true, false},
        {scratch.at("link.fsm"), true, true, true},
        {scratch.at("dangling.fsm"), false, false, false},
        {scratch.at("*.fsm"), false, false, false},
        {scratch.at("?.fsm"), false, false, false},
        {scratch.at("A.FSM"), false, false, false},  // names are case-sensitive
        {scratch.at("m.Fsm"), true, true, true},     // the extension is not
        {scratch.at("U.FSM"), true, true, true},
        {scratch.at("a.fsm.bak"), true, true, false},
        {file + "/", false, false, false},
        {scratch.at("missing.fsm"), false, false, false},
        {"", false, false, false},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.path);
        EXPECT_EQ(FileExists(c.path), c.file);
        EXPECT_EQ(PathExists(c.path), c.path_);
        EXPECT_EQ(IsFsmPath(c.path), c.fsm);
    }
}

// One buffer serves a series of files: each read shows exactly that file,
// followed by zero padding, whatever a longer file left in it before.
TEST(FileOperations, ReadingIntoAPaddedBufferShowsOneFileAtATime) {
    ScratchFolder scratch;
    const std::string big(100000, 'b');
    FileBuffer buffer(64);
    std::string error;
    const struct {
        std::string path;
        bool ok;
        std::string content;
    } reads[] = {
        {scratch.write("big.fsm", big), true, big},
        {scratch.write("small.fsm", "{}"), true, "{}"},
        {scratch.write("empty.fsm"), true, ""},
        {scratch.makeFolder("d.fsm"), false, ""},
        {scratch.at("missing.fsm"), false, ""},
    };
    for (const auto& r : reads) {
        SCOPED_TRACE(r.path);
        std::string text;
        std::string textError;
        EXPECT_EQ(readFileBytes(r.path, buffer, error), r.ok);
        EXPECT_EQ(readFileBytes(r.path, text, textError), r.ok);
        EXPECT_EQ(buffer.view(), r.content);
        if (r.ok) {
            const char* end = buffer.view().data() + buffer.view().size();
            EXPECT_EQ(std::string(end, 64), std::string(64, '\0'));
        } else {
            EXPECT_EQ(error, textError);  // the same reasons as the text version
        }
    }
    // A file longer than its size said when it was opened is read to its end
    // (the kernel's files report the size 0).
    std::string text;
    ASSERT_TRUE(readFileBytes("/proc/self/cmdline", text, error));
    ASSERT_TRUE(readFileBytes("/proc/self/cmdline", buffer, error));
    EXPECT_FALSE(text.empty());
    EXPECT_EQ(buffer.view(), text);
}

TEST(FileOperations, DeleteFile) {
    ScratchFolder scratch;
    // A read-only file is deleted all the same.
    const std::string readOnly = scratch.write("r.fsm", "x");
    fs::permissions(readOnly, fs::perms::owner_read, fs::perm_options::replace);
    EXPECT_TRUE(DeleteFile(readOnly));
    EXPECT_FALSE(fs::exists(readOnly));

    // Nothing to delete is not a failure.
    EXPECT_TRUE(DeleteFile(scratch.at("missing")));

    // A folder is never removed.
    const std::string folder = scratch.makeFolder("d");
    EXPECT_FALSE(DeleteFile(folder));
    EXPECT_TRUE(fs::is_directory(folder));

    // A link goes, the file it points to stays.
    const std::string target = scratch.write("t", "x");
    fs::create_symlink(target, scratch.at("l"));
    EXPECT_TRUE(DeleteFile(scratch.at("l")));
    EXPECT_FALSE(fs::is_symlink(scratch.at("l")));
    EXPECT_TRUE(fs::exists(target));
}

TEST(FileOperations, MakePathCreatesEveryMissingLevel) {
    ScratchFolder scratch;
    EXPECT_TRUE(MakePath(scratch.at("a/b/c")));
    EXPECT_TRUE(fs::is_directory(scratch.at("a/b/c")));
    // Existing levels are passed over, a trailing "/" changes nothing.
    EXPECT_TRUE(MakePath(scratch.at("a/b/d/")));
    EXPECT_TRUE(fs::is_directory(scratch.at("a/b/d")));

    EXPECT_TRUE(MakePath(scratch.at("private/x"), 0700));
    EXPECT_EQ(modeOf(scratch.at("private/x")) & 077, 0u);

    // Relative paths start at the current directory.
    scratch.enter();
    EXPECT_TRUE(MakePath("rel/one"));
    EXPECT_TRUE(fs::is_directory(scratch.at("rel/one")));

    // A file in the way stops it, without an exception or a crash.
    scratch.write("file");
    EXPECT_FALSE(MakePath(scratch.at("file/below")));
    EXPECT_FALSE(MakePath(""));
}

TEST(TempFolders, GetTempDirFallsBackOnUnusableValues) {
    const struct {
        std::optional<std::string> tmpdir;
        std::string expected;
    } cases[] = {
        {std::nullopt, "/tmp"},
        {"", "/tmp"},
        {"/var/tmp", "/var/tmp"},
        {"/var/tmp/", "/var/tmp"},
        {"/" + std::string(258, 'x'), "/" + std::string(258, 'x')},
        {"/" + std::string(259, 'x'), "/tmp"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.tmpdir.value_or("(unset)").substr(0, 20));
        ScopedEnv env("TMPDIR", c.tmpdir);
        EXPECT_EQ(GetTempDir(), c.expected);
    }
}

}  // namespace
}  // namespace tarvel
