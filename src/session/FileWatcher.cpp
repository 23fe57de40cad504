#include "session/FileWatcher.h"

#include <sys/stat.h>

namespace zento {

StatFileWatcher::StatFileWatcher(std::filesystem::path path) : m_path(std::move(path)) {}

StatFileWatcher::State StatFileWatcher::stateOf(const std::filesystem::path& path) {
    State s;
#ifdef _WIN32
    struct _stat64 st {};
    if (_wstat64(path.c_str(), &st) != 0)
        return s;
    s.modifiedNs = static_cast<std::int64_t>(st.st_mtime) * 1'000'000'000;
    s.changedNs = static_cast<std::int64_t>(st.st_ctime) * 1'000'000'000;
#else
    struct stat st {};
    if (::stat(path.c_str(), &st) != 0) // follows links: the target is what is read
        return s;
    const auto ns = [](const timespec& t) {
        return static_cast<std::int64_t>(t.tv_sec) * 1'000'000'000 + t.tv_nsec;
    };
#if defined(__APPLE__)
    s.modifiedNs = ns(st.st_mtimespec);
    s.changedNs = ns(st.st_ctimespec);
#else
    s.modifiedNs = ns(st.st_mtim);
    s.changedNs = ns(st.st_ctim);
#endif
#endif
    s.exists = true;
    s.device = static_cast<std::uint64_t>(st.st_dev);
    s.inode = static_cast<std::uint64_t>(st.st_ino);
    s.size = static_cast<std::int64_t>(st.st_size);
    return s;
}

void StatFileWatcher::markRead() {
    m_read = stateOf(m_path);
}

bool StatFileWatcher::changedSinceRead() {
    return !(stateOf(m_path) == m_read);
}

} // namespace zento
