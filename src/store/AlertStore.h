#pragma once

#include "store/AlertTable.h"
#include "store/IniDocument.h"

#include <cstdint>
#include <filesystem>
#include <functional>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

namespace zento {

/// The outcome of a store operation: empty `error` means it was done.
struct StoreStatus {
    std::string error; ///< why it failed, in French, for the message the user sees

    bool ok() const { return error.empty(); }
    explicit operator bool() const { return ok(); }
    static StoreStatus success() { return {}; }
    static StoreStatus failure(std::string why) { return {std::move(why)}; }
};

/// The only code that touches Alertes.ini. It keeps no cache and no open file: every operation
/// reads the file again, so a hand edit made meanwhile is seen and kept.
///
/// Every write rewrites the whole file atomically (temporary file, flush, rename), keeps the
/// previous file as "Alertes.ini~", and fails without touching anything when the existing file
/// cannot be read or is read-only: the user's alerts are never replaced by a partial file.
class AlertStore final {
public:
    explicit AlertStore(std::filesystem::path iniPath);

    const std::filesystem::path& IniPath() const { return m_iniPath; }
    std::filesystem::path backupPath() const;
    bool exists() const;

    static constexpr std::string_view kSectionPrefix = "Alerte";
    static constexpr std::string_view kParam = "Param";

    /// The value, whole; `def` when the file, the section or the key is missing or unreadable.
    std::string ReadIniValue(std::string_view section, std::string_view key, std::string_view def = {}) const;

    /// Sets one value (the entry replaced in place, or appended; the file and the section are
    /// created when missing).
    StoreStatus WriteIniValue(std::string_view section, std::string_view key, std::string_view value);

    /// Sets several values of one section in one rewrite, in the order given.
    StoreStatus WriteIniValues(std::string_view section,
                               const std::vector<std::pair<std::string, std::string>>& values);

    /// Writes the ten keys Info1..Info10 of the alert's section, in that order, in one rewrite.
    StoreStatus WriteAlert(const Alerte& alert);

    /// Gives the alert the free Id of the file as it is now and writes it, in the same locked
    /// rewrite, so that another process adding at the same moment cannot take the same Id.
    StoreStatus WriteNewAlert(Alerte& alert);

    /// Sets values of an alert's section only if that section still exists; `*found` tells
    /// whether it did. Used by the popup's answers, so that answering an alert deleted
    /// meanwhile does not create a section holding only a date.
    StoreStatus UpdateExistingAlert(std::int32_t id,
                                    const std::vector<std::pair<std::string, std::string>>& values,
                                    bool* found = nullptr);

    /// Removes the alert's section with all its entries; the file is left as it is when there is
    /// no such section. Any 32-bit Id.
    StoreStatus DeleteAlertSection(std::int32_t id);

    /// Rebuilds the table from the file in one pass: every section named exactly "Alerte"
    /// followed by a positive decimal Id (no sign, no leading zero), in file order, each Id once.
    /// An unreadable file gives an empty table and the reason in `*status`.
    AlertTable LoadAllAlerts(StoreStatus* status = nullptr) const;

    /// The table that UTF-8 store text holds, by the rules of LoadAllAlerts (which reads the
    /// file and calls this), with the lookups' rules for names and keys: a section found in any
    /// case, the first of duplicate sections and keys. Read without building the document.
    static AlertTable tableOfText(std::string_view text);

    /// The smallest N >= 1 whose section "Alerte<N>" is missing or has an empty Info1.
    std::int32_t FindFreeAlertId() const;

    /// Reads the file, lets `change` edit the document, and saves the result. `change` returns
    /// false to leave the file untouched (nothing to do).
    StoreStatus edit(const std::function<bool(IniDocument&)>& change);

    /// The Id named by an alert section, or 0 when the name is not one ("Alerte" exactly, then
    /// a positive decimal number that fits 32 bits, without sign or leading zero).
    static std::int32_t alertIdOfSection(std::string_view name);

private:
    struct StoreText {
        std::string utf8; ///< empty when the file is missing or cannot be read
        StoreStatus status;
    };
    /// The file's text, decoded, or why it cannot be read.
    StoreText readText() const;
    static std::int32_t freeIdIn(const IniDocument& doc);
    static void setAlertValues(IniDocument& doc, const Alerte& alert);

    std::filesystem::path m_iniPath;
};

} // namespace zento
