// Path helpers and file operations shared by every floor.
//
// The text operations work on POSIX paths ("/" separates, the root is "/") and
// never touch the file system; the checks and the file operations do. File
// names are case-sensitive; only the ".fsm" extension test ignores case.
#pragma once

#include <cstddef>
#include <cstdint>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

namespace tarvel {

// --- Text operations ---

// The text after the last "/"; the whole path when there is none.
std::string GetFileName(std::string_view path);
// The file name cut before its last "."; a file name without "." is returned whole.
// "/x/model.old.fsm" gives "model.old".
std::string GetBaseName(std::string_view path);
// Everything before the last "." of the whole path, folders included; a path
// without any "." gives the empty text. Callers pass diagram paths, whose last
// "." is the one of ".fsm".
std::string StripExtension(std::string_view path);
// The folder part without a trailing "/": "/x/a.fsm" gives "/x", "/a.fsm" gives
// "/", a path without "/" gives the empty text.
std::string GetDirectory(std::string_view path);
// Joins a folder and a name with exactly one "/" between them.
std::string joinPath(std::string_view folder, std::string_view name);
// A path that starts with "/" is returned unchanged; "./x" and "x" are made
// absolute against the current directory. When the current directory cannot be
// read the path is returned unchanged rather than guessed.
std::string MakeFullPath(std::string_view path);

// The current directory, without a trailing "/" (except for the root itself);
// empty when it cannot be read (for example when it was deleted).
std::string CurrentDirectory();

// --- File-system checks ---

// True when a regular file of exactly this name exists (following symbolic
// links). Wildcard characters are plain characters; directories do not count;
// any error counts as "no".
bool FileExists(const std::string& path);
// The size in bytes of a regular file; 0 when there is none of that name.
std::size_t FileSize(const std::string& path);
// True when a file or a directory of this name exists.
bool PathExists(const std::string& path);
// The names of the regular files (links followed) in the folder whose names
// end with `suffix` (exact case), in the order the folder lists them; empty
// when the folder cannot be read.
std::vector<std::string> RegularFilesIn(const std::string& folder, std::string_view suffix);
// The last four characters, upper-cased, are ".FSM" and FileExists(path).
bool IsFsmPath(const std::string& path);

// --- File operations ---

// Deletes the file when it exists. Returns true when no file of that name is
// left, so a missing file is not an error.
bool DeleteFile(const std::string& path);
// Creates every missing level of the folder path, one after the other; a level
// that exists or cannot be made is passed over. `mode` is the permission of the
// new levels (before the umask). Returns true when the folder exists afterwards.
bool MakePath(std::string_view path, unsigned mode = 0777);

// The folder for temporary files, without a trailing "/": $TMPDIR, or "/tmp"
// when that is unset, empty or 260 characters or longer.
std::string GetTempDir();

// The path with every symbolic link, "." and ".." resolved, made absolute.
// A file that does not exist yet is named inside its resolved folder; when
// that folder does not exist either, "." and ".." are resolved in the text.
std::string CanonicalPath(const std::string& path);

// The whole content of a regular file; false with the reason otherwise. A
// file larger than `maxBytes` is refused before it is read.
bool readFileBytes(const std::string& path, std::string& bytes, std::string& error,
                   std::uint64_t maxBytes = UINT64_MAX);
// The same for a name inside an opened folder; a symbolic link there is refused.
bool readFileBytesAt(int folder, const std::string& name, std::string& bytes, std::string& error,
                     std::uint64_t maxBytes = UINT64_MAX);

// Whole files for a parser that reads a few bytes past the end of its text:
// the content is followed by `padding` zero bytes. The buffer only grows, so
// one buffer serves a series of files, and its content is never cleared
// before a read: each file costs the one pass of reading it.
class FileBuffer {
public:
    explicit FileBuffer(std::size_t padding) : m_padding(padding) {}
    FileBuffer(const FileBuffer&) = delete;
    FileBuffer& operator=(const FileBuffer&) = delete;

    std::string_view view() const { return {m_bytes.get(), m_size}; }
    std::size_t padding() const { return m_padding; }

private:
    friend bool readFileBytes(const std::string& path, FileBuffer& buffer, std::string& error,
                              std::uint64_t maxBytes);
    friend bool readFileBytesAt(int folder, const std::string& name, FileBuffer& buffer,
                                std::string& error, std::uint64_t maxBytes);
    // Room for `size` bytes and the padding, keeping the first `keep` bytes.
    char* reserve(std::size_t size, std::size_t keep);
    // Reads the opened file (fd < 0: the open failed) and closes it.
    bool readAndClose(int fd, std::string& error, std::uint64_t maxBytes);

    std::unique_ptr<char[]> m_bytes;
    std::size_t m_size = 0;
    std::size_t m_capacity = 0;
    std::size_t m_padding;
};

// The same as the text versions (same checks, same reasons), into `buffer`.
bool readFileBytes(const std::string& path, FileBuffer& buffer, std::string& error,
                   std::uint64_t maxBytes = UINT64_MAX);
bool readFileBytesAt(int folder, const std::string& name, FileBuffer& buffer, std::string& error,
                     std::uint64_t maxBytes = UINT64_MAX);

}  // namespace tarvel
