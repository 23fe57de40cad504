#pragma once

#include <cstdint>
#include <filesystem>

namespace zento {

/// Tells whether a file was changed behind the program's back since it last read it: written in
/// place, replaced by another file renamed over it (as sync tools and editors save), created or
/// removed, or, behind a symbolic link, the link's target changed or the link made to point
/// elsewhere. Asked at the due-alert tick.
class FileWatcher {
public:
    virtual ~FileWatcher() = default;
    /// The file as it is now is the one about to be read: call just before reading it, so that
    /// a change made during the read is still seen at the next question.
    virtual void markRead() = 0;
    /// Whether the file differs from the one last marked read.
    virtual bool changedSinceRead() = 0;
};

/// Compares the file's identity, size and times, through links, at each question: one stat
/// call and no wake-up of its own. Unlike a notification watch it sees a replaced file, a link's
/// target and a file on a network or FUSE folder (where change notices do not come) alike.
class StatFileWatcher final : public FileWatcher {
public:
    explicit StatFileWatcher(std::filesystem::path path);

    void markRead() override;
    bool changedSinceRead() override;

    struct State {
        bool exists = false;
        std::uint64_t device = 0;
        std::uint64_t inode = 0;
        std::int64_t size = 0;
        std::int64_t modifiedNs = 0;
        std::int64_t changedNs = 0; ///< the inode's change time: also moves when a rename or a
                                    ///< copy keeps the modification time
        bool operator==(const State&) const = default;
    };
    /// The file's state now (through links).
    static State stateOf(const std::filesystem::path& path);

private:
    std::filesystem::path m_path;
    State m_read;
};

} // namespace zento
