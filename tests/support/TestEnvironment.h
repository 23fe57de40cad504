#pragma once

#include "store/Alerte.h"

#include <cstdint>
#include <filesystem>
#include <ranges>
#include <string>
#include <string_view>

namespace zento::test {

/// Points HOME and the XDG folders into a fresh private folder, removed at exit, and fixes the
/// locale (C) and the time zone (UTC): no test touches the user's files. First thing in main().
void isolateTestEnvironment();

/// A fresh empty folder (in `parent`, else the temporary folder), removed with its contents at the end.
class TempDir final {
public:
    TempDir();
    explicit TempDir(const std::filesystem::path& parent);
    ~TempDir();
    TempDir(const TempDir&) = delete;
    TempDir& operator=(const TempDir&) = delete;

    const std::filesystem::path& path() const { return m_path; }
    std::filesystem::path operator/(std::string_view name) const { return m_path / name; }

private:
    std::filesystem::path m_path;
};

/// The whole content of a file ("" when missing).
std::string readFile(const std::filesystem::path& path);
void writeFile(const std::filesystem::path& path, std::string_view bytes);

/// The section of a stored alert, its fields Info1, Info2... given joined by "|".
inline std::string section(int id, std::string_view info) {
    std::string s = "[Alerte" + std::to_string(id) + "]\r\n";
    int k = 0;
    for (const auto field : std::views::split(info, '|'))
        s += Alerte::keyOf(++k) + "=" + std::string(field.begin(), field.end()) + "\r\n";
    return s;
}

/// An alert's section as the store writes it.
inline std::string alertSection(std::int32_t id, const std::string& message,
                                const std::string& date = "12/01/2027", const std::string& recurrence = "0") {
    return section(id, message + "|" + date + "|" + recurrence + "|5|Defaut.wav|8438015|0|09:30|0|");
}

/// Sets the TZ variable and applies it to the C library's local time.
void setTimeZone(const char* tz);

} // namespace zento::test
