#include "support/TestEnvironment.h"

#include <cstdlib>
#include <ctime>
#include <fstream>
#include <iterator>
#include <stdexcept>
#include <system_error>

namespace zento::test {
namespace fs = std::filesystem;

void setTimeZone(const char* tz) {
    ::setenv("TZ", tz, 1);
    ::tzset();
}

void isolateTestEnvironment() {
    static const TempDir home; // removed at exit
    const fs::path& h = home.path();
    fs::create_directories(h / "runtime");
    fs::permissions(h / "runtime", fs::perms::owner_all);
    ::setenv("HOME", h.c_str(), 1);
    ::setenv("XDG_CONFIG_HOME", (h / ".config").c_str(), 1);
    ::setenv("XDG_DATA_HOME", (h / ".local" / "share").c_str(), 1);
    ::setenv("XDG_RUNTIME_DIR", (h / "runtime").c_str(), 1);
    ::setenv("LC_ALL", "C", 1);
    ::setenv("LANG", "C", 1);
    ::unsetenv("LANGUAGE");
    setTimeZone("UTC");
}

TempDir::TempDir() : TempDir(fs::temp_directory_path()) {}

TempDir::TempDir(const fs::path& parent) {
    std::string tmpl = (parent / "zento-test-XXXXXX").string();
    if (!::mkdtemp(tmpl.data()))
        throw std::runtime_error("mkdtemp failed");
    m_path = tmpl;
}

TempDir::~TempDir() {
    std::error_code ec;
    // Restore rights a test may have taken away, so the folder can go.
    for (fs::recursive_directory_iterator it(m_path, fs::directory_options::skip_permission_denied, ec), end;
         !ec && it != end; it.increment(ec))
        fs::permissions(it->path(), fs::perms::owner_all, fs::perm_options::add, ec);
    fs::remove_all(m_path, ec);
}

std::string readFile(const fs::path& path) {
    std::ifstream in(path, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

void writeFile(const fs::path& path, std::string_view bytes) {
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    out.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
    if (!out)
        throw std::runtime_error("cannot write " + path.string());
}

} // namespace zento::test
