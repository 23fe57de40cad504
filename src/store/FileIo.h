#pragma once

#include <filesystem>
#include <string>
#include <string_view>

namespace zento {

/// What became of reading a whole file.
struct FileRead {
    enum class Status { Ok, Missing, Error };
    Status status = Status::Missing;
    std::string bytes;
    std::string error; ///< why it could not be read, in French, when status is Error
};

/// Reads the whole file. A file that does not exist is `Missing`; one that exists but cannot
/// be read (a folder, no permission, an I/O error) is `Error`, never mistaken for empty.
FileRead readWholeFile(const std::filesystem::path& path);

/// Replaces `path` with `bytes` so that a crash, a kill or a full disk leaves either the old
/// file or the new one, whole: the bytes go to a temporary file beside it, which is flushed to
/// disk, closed (both checked) and renamed over `path`. The old file's permissions are kept.
/// When `path` is a symbolic link (or a chain of them) the file at its end is replaced, the
/// temporary made in that file's folder, and the links stay.
/// Returns an empty string on success, otherwise the reason in French; `path` is then untouched.
std::string writeFileAtomically(const std::filesystem::path& path, std::string_view bytes);

/// True when the file exists and may not be written (no write permission bit, or refused to
/// this user), so that a store the user made read-only is not replaced behind their back.
bool isReadOnlyFile(const std::filesystem::path& path);

/// An exclusive lock on a folder for as long as the object lives, so that two processes (the
/// running program and `zento --add`) never interleave the read-modify-write of a store. It
/// waits for the other holder; where locking is not supported it does nothing.
class FolderLock final {
public:
    explicit FolderLock(const std::filesystem::path& folder);
    ~FolderLock();
    FolderLock(const FolderLock&) = delete;
    FolderLock& operator=(const FolderLock&) = delete;

private:
    int m_fd = -1;
};

/// Removes the temporary files that a write killed half-way left beside `path` (beside the end
/// of its links; they are never read), when older than a minute so as not to touch another
/// process's write in progress.
void removeStaleTemporaries(const std::filesystem::path& path);

/// A French wording of an errno value for the messages the user sees.
std::string describeErrno(int err);

} // namespace zento
