#include "store/AlertStore.h"

#include "store/FileIo.h"
#include "store/IniText.h"
#include "store/TextEncoding.h"

#include <charconv>
#include <limits>
#include <unordered_map>

namespace zento {

AlertStore::AlertStore(std::filesystem::path iniPath) : m_iniPath(std::move(iniPath)) {}

std::filesystem::path AlertStore::backupPath() const {
    auto p = m_iniPath;
    p += "~";
    return p;
}

bool AlertStore::exists() const {
    std::error_code ec;
    return std::filesystem::exists(m_iniPath, ec);
}

AlertStore::StoreText AlertStore::readText() const {
    FileRead read = readWholeFile(m_iniPath);
    if (read.status == FileRead::Status::Error)
        return {{},
                StoreStatus::failure("le fichier " + m_iniPath.string() +
                                     " existe mais ne peut pas être lu (" + read.error + ")")};
    return {decodeOwnedStoreBytes(std::move(read.bytes)).utf8, StoreStatus::success()};
}

std::string AlertStore::ReadIniValue(std::string_view section, std::string_view key,
                                     std::string_view def) const {
    if (auto v = IniDocument::valueIn(readText().utf8, section, key))
        return std::move(*v);
    return std::string(def);
}

StoreStatus AlertStore::edit(const std::function<bool(IniDocument&)>& change) {
    const FolderLock lock(m_iniPath.parent_path());
    const FileRead read = readWholeFile(m_iniPath);
    if (read.status == FileRead::Status::Error)
        return StoreStatus::failure("le fichier existe mais ne peut pas être lu (" + read.error + ")");
    const bool existed = read.status == FileRead::Status::Ok;
    if (existed && isReadOnlyFile(m_iniPath))
        return StoreStatus::failure("le fichier est en lecture seule");

    IniDocument doc = IniDocument::parse(decodeStoreBytes(read.bytes).utf8);
    if (!change(doc))
        return StoreStatus::success();
    const std::string bytes = encodeStoreText(doc.serialize());

    // The previous state stays at hand beside the file; losing the backup must not stop a save.
    if (existed)
        (void)writeFileAtomically(backupPath(), read.bytes);
    if (std::string why = writeFileAtomically(m_iniPath, bytes); !why.empty())
        return StoreStatus::failure(std::move(why));
    removeStaleTemporaries(m_iniPath);
    return StoreStatus::success();
}

StoreStatus AlertStore::WriteIniValue(std::string_view section, std::string_view key,
                                      std::string_view value) {
    return edit([&](IniDocument& doc) {
        doc.setValue(section, key, value);
        return true;
    });
}

StoreStatus AlertStore::WriteIniValues(std::string_view section,
                                       const std::vector<std::pair<std::string, std::string>>& values) {
    return edit([&](IniDocument& doc) {
        for (const auto& [key, value] : values)
            doc.setValue(section, key, value);
        return !values.empty();
    });
}

void AlertStore::setAlertValues(IniDocument& doc, const Alerte& alert) {
    const std::string section = Alerte::sectionOf(alert.Id);
    for (int k = 1; k <= Alerte::kFieldCount; ++k)
        doc.setValue(section, Alerte::keyOf(k), alert.field(k));
    // An alert made here has no UID; an edit of an imported one keeps the UID it had.
    if (!alert.Uid.empty())
        doc.setValue(section, Alerte::kUidKey, alert.Uid);
}

StoreStatus AlertStore::WriteAlert(const Alerte& alert) {
    return edit([&](IniDocument& doc) {
        setAlertValues(doc, alert);
        return true;
    });
}

StoreStatus AlertStore::WriteNewAlert(Alerte& alert) {
    return edit([&](IniDocument& doc) {
        alert.Id = freeIdIn(doc);
        setAlertValues(doc, alert);
        return true;
    });
}

StoreStatus AlertStore::UpdateExistingAlert(std::int32_t id,
                                            const std::vector<std::pair<std::string, std::string>>& values,
                                            bool* found) {
    const std::string section = Alerte::sectionOf(id);
    bool present = false;
    StoreStatus status = edit([&](IniDocument& doc) {
        present = doc.hasSection(section);
        if (!present)
            return false;
        for (const auto& [key, value] : values)
            doc.setValue(section, key, value);
        return true;
    });
    if (found)
        *found = present;
    return status;
}

StoreStatus AlertStore::DeleteAlertSection(std::int32_t id) {
    return edit([&](IniDocument& doc) { return doc.removeSection(Alerte::sectionOf(id)); });
}

namespace {

/// The Id a section name gives after its "Alerte": a positive decimal number that fits 32
/// bits, without sign or leading zero; else 0.
std::int32_t idOfDigits(std::string_view digits) {
    if (digits.empty() || digits.front() < '1' || digits.front() > '9')
        return 0;
    std::int32_t id = 0;
    const auto [end, ec] = std::from_chars(digits.data(), digits.data() + digits.size(), id);
    if (ec != std::errc{} || end != digits.data() + digits.size())
        return 0;
    return id;
}

/// The Id of a section named "Alerte<Id>" in any case: the sections that a lookup of
/// "Alerte<Id>" finds.
std::int32_t alertIdOfSectionAnyCase(std::string_view name) {
    const std::string_view prefix = AlertStore::kSectionPrefix;
    if (!EqualsNoCase(name.substr(0, prefix.size()), prefix))
        return 0;
    return idOfDigits(name.substr(prefix.size()));
}

/// k for a key "Info<k>" (any case, 1..10, no sign or leading zero), else 0.
int infoFieldOfKey(std::string_view key) {
    if (key.size() < 5 || key.size() > 6)
        return 0;
    if (!EqualsNoCase(key.substr(0, 4), "Info") || key[4] == '0')
        return 0;
    int k = 0;
    const auto [end, ec] = std::from_chars(key.data() + 4, key.data() + key.size(), k);
    if (ec != std::errc{} || end != key.data() + key.size() || k < 1 || k > Alerte::kFieldCount)
        return 0;
    return k;
}

} // namespace

std::int32_t AlertStore::alertIdOfSection(std::string_view name) {
    if (name.substr(0, kSectionPrefix.size()) != kSectionPrefix)
        return 0;
    return idOfDigits(name.substr(kSectionPrefix.size()));
}

AlertTable AlertStore::LoadAllAlerts(StoreStatus* status) const {
    StoreText t = readText();
    if (status)
        *status = std::move(t.status);
    return tableOfText(t.utf8);
}

AlertTable AlertStore::tableOfText(std::string_view text) {
    // Read straight from the text, by the document's rules: no line is copied, so a reload of
    // thousands of alerts allocates little more than the table itself.
    struct Header {
        std::string_view name;
        std::size_t bodyBegin = 0; ///< the line after "[name]"
        std::size_t bodyEnd = 0;   ///< the next header, or the end of the text
    };
    std::vector<Header> headers;
    // Id -> the first header that a lookup of "Alerte<Id>" finds (names match in any case).
    std::unordered_map<std::int32_t, std::size_t> firstHeaderOf;
    ForEachLine(text, 0, text.size(), [&](std::string_view line, std::size_t begin, std::size_t next) {
        const IniDocument::LineShape shape = IniDocument::shapeOf(line);
        if (shape.kind != IniDocument::Kind::Section)
            return;
        if (!headers.empty())
            headers.back().bodyEnd = begin;
        headers.push_back({shape.name, next, text.size()});
        if (const std::int32_t id = alertIdOfSectionAnyCase(shape.name))
            firstHeaderOf.try_emplace(id, headers.size() - 1);
    });

    constexpr std::size_t kTaken = static_cast<std::size_t>(-1);
    std::vector<Alerte> alerts;
    alerts.reserve(firstHeaderOf.size());
    for (const Header& h : headers) {
        const std::int32_t id = alertIdOfSection(h.name);
        if (id == 0)
            continue;
        std::size_t& first = firstHeaderOf.at(id);
        if (first == kTaken)
            continue;
        const Header& source = headers[first];
        first = kTaken;
        Alerte a;
        a.Id = id;
        // The first of duplicate keys is the one read; slot 0 stands for the UID.
        bool set[Alerte::kFieldCount + 1] = {};
        ForEachLine(text, source.bodyBegin, source.bodyEnd,
                    [&](std::string_view line, std::size_t, std::size_t) {
                        const IniDocument::LineShape shape = IniDocument::shapeOf(line);
                        if (shape.kind != IniDocument::Kind::Entry)
                            return;
                        const int k = infoFieldOfKey(shape.name);
                        const bool uid = k == 0 && EqualsNoCase(shape.name, Alerte::kUidKey);
                        if ((k == 0 && !uid) || set[k])
                            return;
                        set[k] = true;
                        (uid ? a.Uid : a.field(k)) = IniDocument::unquoteValue(line.substr(line.find('=') + 1));
                    });
        alerts.push_back(std::move(a));
    }
    return AlertTable(std::move(alerts));
}

std::int32_t AlertStore::FindFreeAlertId() const {
    return freeIdIn(IniDocument::parse(readText().utf8));
}

std::int32_t AlertStore::freeIdIn(const IniDocument& doc) {
    for (std::int32_t n = 1; n < std::numeric_limits<std::int32_t>::max(); ++n) {
        const std::string section = Alerte::sectionOf(n);
        const auto info1 = doc.value(section, "Info1");
        if (info1 && !info1->empty())
            continue;
        // A section spelled in another case ("alerte5") would take the writes but is not
        // loaded as an alert: the new alert would vanish from the program. Skip that Id.
        const auto spelling = doc.sectionSpelling(section);
        if (!spelling || *spelling == section)
            return n;
    }
    return std::numeric_limits<std::int32_t>::max();
}

} // namespace zento
