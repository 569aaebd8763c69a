// The one way the program writes a file.
//
// A file is written completely to a new temporary file beside its target,
// flushed to disk, and only then renamed over the target, so a reader (or a
// run that is killed) sees the old content or the new one, never a part.
// Several files can be staged first and renamed together afterwards, so that
// a failed write changes none of them.
//
// An output name may be a symbolic link in a folder other users can write.
// Such a link is followed only when it belongs to the user running the
// program and points to a regular file that user may write (the rule the
// kernel's protected symlinks apply, here applied whatever the kernel
// setting); then the file it points to is replaced and the link stays.
// Any other link is refused and nothing is written through it.
//
// Temporary files of this writer are named ".tarvel-<12 hex digits>.tmp".
// Every write into a folder removes the ones a killed run left there (and the
// "X.fsm.XXXXXX" files of older versions), when they belong to the user and
// were not touched for a minute.
#pragma once

#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace tarvel {

enum class WriteFailure {
    None,
    // The name is a symbolic link the rule above does not follow, or in a
    // private folder something that is not the user's own regular file.
    Refused,
    // The file system refused: a missing folder, no permission, a full disk...
    Failed,
};

// One file written in two steps: stage() writes the temporary file, commit()
// renames it over the target. A staged file that is never committed is
// removed when the object goes.
class AtomicFile {
public:
    AtomicFile() = default;
    ~AtomicFile();
    AtomicFile(AtomicFile&& other) noexcept;
    AtomicFile& operator=(AtomicFile&& other) noexcept;
    AtomicFile(const AtomicFile&) = delete;
    AtomicFile& operator=(const AtomicFile&) = delete;

    // Writes `bytes` to a temporary file beside the file `path` names (see the
    // link rule above). An existing target keeps its permission bits, owner
    // and group (as far as the user may give them); a new file gets 0666 less
    // the umask. `mode`, when given, is the permission of the result either way.
    bool stage(const std::string& path, std::string_view bytes,
               std::optional<unsigned> mode = std::nullopt);
    // The same for `name` inside an opened folder that belongs to the user.
    // Nothing there is followed: whatever has that name must be the user's own
    // regular file, or the write is refused.
    bool stageAt(int folder, const std::string& name, std::string_view bytes);
    // Renames the staged file over its target and flushes the folder.
    bool commit();
    // Removes the staged file; the target is untouched.
    void discard();

    WriteFailure failure() const { return m_failure; }
    // What went wrong, naming the file.
    const std::string& error() const { return m_error; }

private:
    struct Target;
    bool stageInto(Target target, std::string_view bytes, std::optional<unsigned> mode);
    bool fail(WriteFailure failure, std::string error);
    void release();

    int m_folder = -1;          // the target's folder, owned
    std::string m_shownFolder;  // for messages
    std::string m_name;         // the target's name in the folder
    std::string m_temporary;    // the staged file's name in the folder; empty when none
    WriteFailure m_failure = WriteFailure::None;
    std::string m_error;
};

// One file of a set written together.
struct FileContent {
    std::string path;
    std::string_view bytes;
    std::optional<unsigned> mode;  // see AtomicFile::stage
};

struct WriteResult {
    WriteFailure failure = WriteFailure::None;
    std::size_t file = 0;  // the index of the file that failed
    std::string error;
    bool ok() const { return failure == WriteFailure::None; }
};

// Stages every file before any is renamed, then renames them in the order
// given. When a file cannot be staged no target changes.
WriteResult WriteFilesAtomically(const std::vector<FileContent>& files);
// One file; on failure the target is untouched and no temporary file is left.
bool WriteFileAtomically(const std::string& path, std::string_view bytes, std::string& error,
                         WriteFailure* failure = nullptr);
// Writes `bytes` to `path` and, when a file was there, its previous content
// to `backup` with the same permissions. Either both happen or, when a write
// fails, neither file changes.
bool WriteFileKeepingBackup(const std::string& path, const std::string& backup,
                            std::string_view bytes, std::string& error);
// One file inside an opened private folder (see AtomicFile::stageAt).
bool WriteFileAtomicallyAt(int folder, const std::string& name, std::string_view bytes,
                           std::string& error);

// Why a symbolic link at `path` may not be followed for writing; empty when
// it may (or when `path` is no link). `resolved` receives the file it points to.
std::string linkRefusal(const std::string& path, std::string& resolved);

// True for the names of temporary files this writer, or an older version of
// the program, leaves behind when it is killed.
bool isOwnTemporaryName(std::string_view name);

}  // namespace tarvel
