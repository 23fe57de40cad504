#include "store/FileIo.h"

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <system_error>

#ifdef _WIN32
#include <fcntl.h>
#include <io.h>
#include <sys/stat.h>
#else
#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>
#endif

namespace zento {
namespace fs = std::filesystem;

std::string describeErrno(int err) {
    switch (err) {
    case ENOSPC:
        return "le disque est plein";
#ifdef EDQUOT
    case EDQUOT:
        return "le quota du disque est dépassé";
#endif
    case EFBIG:
        return "le fichier est trop grand";
    case EACCES:
    case EPERM:
        return "accès refusé";
    case EROFS:
        return "le disque est en lecture seule";
    case ENOENT:
        return "le dossier n'existe pas";
    case ENOTDIR:
        return "le chemin ne désigne pas un dossier";
    case EISDIR:
        return "le chemin désigne un dossier";
    case EIO:
        return "erreur d'entrée-sortie";
    case ELOOP:
        return "trop de liens symboliques";
    default:
        return std::strerror(err);
    }
}

namespace {

/// The file a save must replace: `path` itself or, when it is a symbolic link, the end of its
/// chain of links (which need not exist yet). Replacing the link itself would cut the store off
/// from where the user keeps it. Empty, with `ec` set, when the chain cannot be followed.
fs::path finalTarget(const fs::path& path, std::error_code& ec) {
    fs::path p = path;
    // The system's own limit: a chain this long is a loop.
    for (int links = 0; links < 40; ++links) {
        const fs::file_status st = fs::symlink_status(p, ec);
        if (ec && st.type() != fs::file_type::not_found)
            return {};
        ec.clear();
        if (!fs::is_symlink(st))
            return p;
        const fs::path to = fs::read_symlink(p, ec);
        if (ec)
            return {};
        // A relative target is relative to the folder of the link that names it.
        p = to.is_absolute() ? to : p.parent_path() / to;
    }
    ec = std::make_error_code(std::errc::too_many_symbolic_link_levels);
    return {};
}

} // namespace

#ifdef _WIN32

FolderLock::FolderLock(const fs::path&) {}
FolderLock::~FolderLock() = default;
void removeStaleTemporaries(const fs::path&) {}

FileRead readWholeFile(const fs::path& path) {
    FileRead r;
    std::error_code ec;
    if (!fs::exists(path, ec)) {
        r.status = ec ? FileRead::Status::Error : FileRead::Status::Missing;
        if (ec)
            r.error = ec.message();
        return r;
    }
    FILE* f = _wfopen(path.c_str(), L"rb");
    if (!f) {
        r.status = FileRead::Status::Error;
        r.error = describeErrno(errno);
        return r;
    }
    char buf[1 << 16];
    std::size_t n;
    while ((n = std::fread(buf, 1, sizeof buf, f)) > 0)
        r.bytes.append(buf, n);
    const bool failed = std::ferror(f);
    std::fclose(f);
    r.status = failed ? FileRead::Status::Error : FileRead::Status::Ok;
    if (failed)
        r.error = describeErrno(EIO);
    return r;
}

bool isReadOnlyFile(const fs::path& path) {
    std::error_code ec;
    const auto st = fs::status(path, ec);
    if (ec || !fs::exists(st))
        return false;
    return (st.permissions() & fs::perms::owner_write) == fs::perms::none;
}

std::string writeFileAtomically(const fs::path& link, std::string_view bytes) {
    std::error_code resolved;
    const fs::path path = finalTarget(link, resolved);
    if (resolved)
        return resolved.message();
    fs::path tmp = path;
    tmp += L".tmp";
    FILE* f = _wfopen(tmp.c_str(), L"wbc"); // 'c': fflush commits to disk
    if (!f)
        return describeErrno(errno);
    const bool ok = std::fwrite(bytes.data(), 1, bytes.size(), f) == bytes.size() && std::fflush(f) == 0;
    const int err = errno;
    if (std::fclose(f) != 0 || !ok) {
        std::error_code ignored;
        fs::remove(tmp, ignored);
        return describeErrno(ok ? errno : err);
    }
    std::error_code ec;
    fs::rename(tmp, path, ec);
    if (ec) {
        std::error_code ignored;
        fs::remove(tmp, ignored);
        return ec.message();
    }
    return {};
}

#else

FolderLock::FolderLock(const fs::path& folder) {
    m_fd = ::open(folder.empty() ? "." : folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (m_fd < 0)
        return;
    while (::flock(m_fd, LOCK_EX) != 0 && errno == EINTR) {
    }
}

FolderLock::~FolderLock() {
    if (m_fd >= 0)
        ::close(m_fd); // closing releases the lock
}

void removeStaleTemporaries(const fs::path& link) {
    std::error_code ec;
    const fs::path path = finalTarget(link, ec);
    if (ec)
        return;
    const fs::path dir = path.parent_path().empty() ? fs::path(".") : path.parent_path();
    std::string prefix(".");
    prefix += path.filename().string();
    prefix += '.';
    const auto now = fs::file_time_type::clock::now();
    for (auto it = fs::directory_iterator(dir, ec); !ec && it != fs::directory_iterator(); it.increment(ec)) {
        const std::string name = it->path().filename().string();
        // mkstemp's names: the prefix and six characters.
        if (name.size() != prefix.size() + 6 || name.compare(0, prefix.size(), prefix) != 0)
            continue;
        std::error_code ignored;
        if (it->is_regular_file(ignored) && now - it->last_write_time(ignored) > std::chrono::minutes(1))
            fs::remove(it->path(), ignored);
    }
}

FileRead readWholeFile(const fs::path& path) {
    FileRead r;
    const int fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC);
    if (fd < 0) {
        const int err = errno;
        r.status = err == ENOENT ? FileRead::Status::Missing : FileRead::Status::Error;
        if (err != ENOENT)
            r.error = describeErrno(err);
        return r;
    }
    struct stat st {};
    if (::fstat(fd, &st) == 0 && S_ISREG(st.st_mode) && st.st_size > 0)
        r.bytes.reserve(static_cast<std::size_t>(st.st_size));
    char buf[1 << 16];
    for (;;) {
        const ssize_t n = ::read(fd, buf, sizeof buf);
        if (n > 0) {
            r.bytes.append(buf, static_cast<std::size_t>(n));
        } else if (n == 0) {
            r.status = FileRead::Status::Ok;
            break;
        } else if (errno != EINTR) {
            r.status = FileRead::Status::Error;
            r.error = describeErrno(errno);
            r.bytes.clear();
            break;
        }
    }
    ::close(fd);
    return r;
}

bool isReadOnlyFile(const fs::path& path) {
    struct stat st {};
    if (::stat(path.c_str(), &st) != 0)
        return false;
    // Root may write anything; the permission bits still say what the user wants.
    if ((st.st_mode & (S_IWUSR | S_IWGRP | S_IWOTH)) == 0)
        return true;
    return ::access(path.c_str(), W_OK) != 0 && errno != ENOENT;
}

namespace {

bool writeAll(int fd, std::string_view bytes) {
    const char* p = bytes.data();
    std::size_t left = bytes.size();
    while (left > 0) {
        const ssize_t n = ::write(fd, p, left);
        if (n < 0) {
            if (errno == EINTR)
                continue;
            return false;
        }
        p += n;
        left -= static_cast<std::size_t>(n);
    }
    return true;
}

void syncFolder(const fs::path& dir) {
    const int fd = ::open(dir.empty() ? "." : dir.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (fd >= 0) {
        ::fsync(fd);
        ::close(fd);
    }
}

} // namespace

std::string writeFileAtomically(const fs::path& link, std::string_view bytes) {
    // The temporary goes beside the final target, so that the rename stays in one folder.
    std::error_code resolved;
    const fs::path path = finalTarget(link, resolved);
    if (resolved)
        return describeErrno(resolved.value());
    const fs::path dir = path.parent_path();
    std::string name(".");
    name += path.filename().string();
    name += ".XXXXXX";
    std::string tmpl = (dir / name).string();
    const int fd = ::mkstemp(tmpl.data());
    if (fd < 0)
        return describeErrno(errno);
    const auto fail = [&](int err) {
        ::close(fd);
        ::unlink(tmpl.c_str());
        return describeErrno(err);
    };
    struct stat old {};
    const mode_t mode = ::stat(path.c_str(), &old) == 0 ? (old.st_mode & 07777) : 0600;
    if (::fchmod(fd, mode) != 0)
        return fail(errno);
    // A full disk may only show at fsync or close: both are checked before the rename.
    if (!writeAll(fd, bytes) || ::fsync(fd) != 0)
        return fail(errno);
    if (::close(fd) != 0) {
        const int err = errno;
        ::unlink(tmpl.c_str());
        return describeErrno(err);
    }
    if (::rename(tmpl.c_str(), path.c_str()) != 0) {
        const int err = errno;
        ::unlink(tmpl.c_str());
        return describeErrno(err);
    }
    syncFolder(dir);
    return {};
}

#endif

} // namespace zento
