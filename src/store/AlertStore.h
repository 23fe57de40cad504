#pragma once

#include "store/AlertTable.h"
#include "store/IniDocument.h"
#include "store/Result.h"

#include <cstdint>
#include <filesystem>
#include <functional>
#include <optional>
#include <string>
#include <string_view>

namespace zento {

/// The keys of the section "Param": the defaults of new alerts and the number of alerts.
enum class ParamKey {
    Nb,     ///< the number of alerts after the last add or delete (informative, never read back)
    Fond,   ///< default background colour of new alerts; empty: random
    Police, ///< default text colour of new alerts; empty: random
    Img,    ///< default emoticon of new alerts
};

/// The store's document while one save changes it: typed operations, so that no code outside
/// the store spells a section or key name.
class StoreEdit final {
public:
    explicit StoreEdit(IniDocument& doc) : m_doc(doc) {}

    /// Whether the alert's section exists (in any case of its name).
    bool hasAlert(std::int32_t id) const;
    /// Writes the ten keys Info1..Info10 of the alert's section in that order (and its UID when
    /// it has one); the section is created at the end when missing.
    void setAlert(const Alerte& alert);
    /// Sets one field of an alert's section.
    void setField(std::int32_t id, AlertField field, std::string_view value);
    /// Removes the alert's section with all its lines; false when there was none.
    bool removeAlert(std::int32_t id);
    /// The smallest N >= `from` whose section "Alerte<N>" is missing or has an empty message,
    /// and is not spelled in another case (such a section would take the writes but never load).
    std::int32_t freeId(std::int32_t from = 1) const;
    /// The number of alerts LoadAllAlerts would give for the document as it is now.
    std::int32_t alertCount() const;

    std::string param(ParamKey key) const;
    void setParam(ParamKey key, std::string_view value);

private:
    IniDocument& m_doc;
};

/// The only code that touches Alertes.ini. It keeps no cache and no open file: every operation
/// reads the file again, so a hand edit made meanwhile is seen and kept.
///
/// Every save rewrites the whole file atomically (temporary file, flush, rename), keeps the
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

    /// The name of a [Param] key in the file.
    static std::string_view keyName(ParamKey key);

    /// The value of a [Param] key, whole; empty when the file, the section or the key is
    /// missing or unreadable.
    std::string ReadParam(ParamKey key) const;

    /// Rebuilds the table from the file in one pass: every section named exactly "Alerte"
    /// followed by a positive decimal Id (no sign, no leading zero), in file order, each Id once.
    /// A missing file gives an empty table; one that cannot be read, an error.
    Result<AlertTable> LoadAllAlerts() const;

    /// One save: under the folder's lock, reads the file, lets `change` edit it, and replaces
    /// the file with the result, keeping the file as it was before as the backup. `change`
    /// returns false to leave the file untouched (nothing to do).
    Status edit(const std::function<bool(StoreEdit&)>& change);

    /// The table that UTF-8 store text holds, by the rules of LoadAllAlerts (which reads the
    /// file and calls this), with the lookups' rules for names and keys: a section found in any
    /// case, the first of duplicate sections and keys. Read without building the document.
    static AlertTable tableOfText(std::string_view text);

    /// The Id named by an alert section, or 0 when the name is not one ("Alerte" exactly, then
    /// a positive decimal number that fits 32 bits, without sign or leading zero).
    static std::int32_t alertIdOfSection(std::string_view name);

private:
    struct StoreText {
        std::string utf8; ///< empty when the file is missing or cannot be read
        std::optional<Error> error;
    };
    /// The file's text, decoded, or why it cannot be read.
    StoreText readText() const;

    std::filesystem::path m_iniPath;
};

} // namespace zento
