#include "support/TestEnvironment.h"

#include <cstdlib>
#include <ctime>
#include <fstream>
#include <iterator>
#include <stdexcept>
#include <system_error>

namespace zento::test {
namespace fs = std::filesystem;
namespace {

fs::path g_home;

fs::path makeTempFolder(const char* stem, const fs::path& base = fs::temp_directory_path()) {
    std::string tmpl = (base / (std::string(stem) + "-XXXXXX")).string();
    if (!::mkdtemp(tmpl.data()))
        throw std::runtime_error("mkdtemp failed");
    return fs::path(tmpl);
}

void removeHome() {
    std::error_code ec;
    fs::remove_all(g_home, ec);
}

} // namespace

void setTimeZone(const char* tz) {
    ::setenv("TZ", tz, 1);
    ::tzset();
}

void isolateTestEnvironment() {
    g_home = makeTempFolder("zento-test-home");
    fs::create_directories(g_home / "runtime");
    fs::permissions(g_home / "runtime", fs::perms::owner_all);
    ::setenv("HOME", g_home.c_str(), 1);
    ::setenv("XDG_CONFIG_HOME", (g_home / ".config").c_str(), 1);
    ::setenv("XDG_DATA_HOME", (g_home / ".local" / "share").c_str(), 1);
    ::setenv("XDG_RUNTIME_DIR", (g_home / "runtime").c_str(), 1);
    ::setenv("LC_ALL", "C", 1);
    ::setenv("LANG", "C", 1);
    ::unsetenv("LANGUAGE");
    setTimeZone("UTC");
    std::atexit(removeHome);
}

TempDir::TempDir() : m_path(makeTempFolder("zento-test")) {}
TempDir::TempDir(const fs::path& parent) : m_path(makeTempFolder("zento-test", parent)) {}

TempDir::~TempDir() {
    std::error_code ec;
    // Restore rights a test may have taken away, so the folder can go.
    for (auto it =
             fs::recursive_directory_iterator(m_path, fs::directory_options::skip_permission_denied, ec);
         !ec && it != fs::recursive_directory_iterator(); it.increment(ec))
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
