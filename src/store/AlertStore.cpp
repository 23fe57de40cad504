#include "store/AlertStore.h"

#include "store/FileIo.h"
#include "store/IniText.h"
#include "store/TextEncoding.h"

#include <charconv>
#include <limits>
#include <unordered_map>
#include <unordered_set>

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

StoreStatus AlertStore::unreadable(const std::string& why) const {
    return StoreStatus::failure("le fichier " + m_iniPath.string() + " existe mais ne peut pas être lu (" +
                                why + ")");
}

AlertStore::Loaded AlertStore::load() const {
    FileRead read = readWholeFile(m_iniPath);
    if (read.status == FileRead::Status::Error)
        return {IniDocument{}, unreadable(read.error)};
    return {IniDocument::parse(decodeOwnedStoreBytes(std::move(read.bytes)).utf8), StoreStatus::success()};
}

std::string AlertStore::ReadIniValue(std::string_view section, std::string_view key,
                                     std::string_view def) const {
    FileRead read = readWholeFile(m_iniPath);
    if (read.status != FileRead::Status::Ok)
        return std::string(def);
    if (auto v = IniDocument::valueIn(decodeOwnedStoreBytes(std::move(read.bytes)).utf8, section, key))
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

std::int32_t AlertStore::alertIdOfSection(std::string_view name) {
    if (name.substr(0, kSectionPrefix.size()) != kSectionPrefix)
        return 0;
    const std::string_view rest = name.substr(kSectionPrefix.size());
    if (rest.empty() || rest.front() < '1' || rest.front() > '9')
        return 0;
    std::int32_t id = 0;
    const auto [end, ec] = std::from_chars(rest.data(), rest.data() + rest.size(), id);
    if (ec != std::errc{} || end != rest.data() + rest.size())
        return 0;
    return id;
}

AlertTable AlertStore::LoadAllAlerts(StoreStatus* status) const {
    FileRead read = readWholeFile(m_iniPath);
    if (read.status == FileRead::Status::Error) {
        if (status)
            *status = unreadable(read.error);
        return {};
    }
    if (status)
        *status = StoreStatus::success();
    return tableOfText(decodeOwnedStoreBytes(std::move(read.bytes)).utf8);
}

namespace {

/// k for a key "Info<k>" (any case, 1..10, no sign or leading zero), else 0.
int infoFieldOfKey(std::string_view key) {
    if (key.size() < 5 || key.size() > 6)
        return 0;
    if ((key[0] | 0x20) != 'i' || (key[1] | 0x20) != 'n' || (key[2] | 0x20) != 'f' ||
        (key[3] | 0x20) != 'o' || key[4] == '0')
        return 0;
    int k = 0;
    const auto [end, ec] = std::from_chars(key.data() + 4, key.data() + key.size(), k);
    if (ec != std::errc{} || end != key.data() + key.size() || k < 1 || k > Alerte::kFieldCount)
        return 0;
    return k;
}

/// Sets a field from an entry unless an earlier entry of the same key already did: the first
/// of duplicate keys is the one read, as every lookup of the store reads it.
struct FieldSetter {
    Alerte& alert;
    bool set[Alerte::kFieldCount + 1] = {};

    void operator()(std::string_view key, std::string_view raw) {
        const int k = infoFieldOfKey(key);
        if (k == 0 || set[k])
            return;
        set[k] = true;
        alert.field(k) = IniDocument::unquoteValue(raw);
    }
};

/// The Id of a section whose name is "Alerte<Id>" in any case: the sections a lookup of
/// "Alerte<Id>" may find.
std::int32_t alertIdOfSectionAnyCase(std::string_view name) {
    const std::string_view prefix = AlertStore::kSectionPrefix;
    if (name.size() <= prefix.size())
        return 0;
    for (std::size_t i = 0; i < prefix.size(); ++i)
        if ((name[i] | 0x20) != (prefix[i] | 0x20))
            return 0;
    std::string canonical(prefix);
    canonical += name.substr(prefix.size());
    return AlertStore::alertIdOfSection(canonical);
}

} // namespace

AlertTable AlertStore::tableOf(const IniDocument& doc) {
    std::vector<Alerte> alerts;
    std::unordered_set<std::int32_t> seen;
    doc.forEachSection([&](std::string_view name) {
        const std::int32_t id = alertIdOfSection(name);
        if (id == 0 || !seen.insert(id).second)
            return;
        Alerte a;
        a.Id = id;
        doc.forEachEntry(name, FieldSetter{a});
        alerts.push_back(std::move(a));
    });
    return AlertTable(std::move(alerts));
}

AlertTable AlertStore::tableOfText(std::string_view text) {
    // The rules of tableOf over a parsed document, read straight from the text: no line is
    // copied, so a reload of thousands of alerts allocates little more than the table itself.
    struct Header {
        std::string_view name;
        std::size_t bodyBegin = 0; ///< the line after "[name]"
        std::size_t bodyEnd = 0;   ///< the next header, or the end of the text
    };
    std::vector<Header> headers;
    // Id -> the first header that a lookup of "Alerte<Id>" finds (names match in any case).
    std::unordered_map<std::int32_t, std::size_t> firstHeaderOf;
    ForEachLine(text, 0, text.size(), [&](std::string_view line, std::size_t begin, std::size_t next) {
        // Most lines are entries: only a line starting with "[" may be a header.
        const std::size_t first = line.find_first_not_of(" \t");
        if (first == std::string_view::npos || line[first] != '[')
            return;
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
        FieldSetter setField{a};
        ForEachLine(text, source.bodyBegin, source.bodyEnd,
                    [&](std::string_view line, std::size_t, std::size_t) {
                        const IniDocument::LineShape shape = IniDocument::shapeOf(line);
                        if (shape.kind == IniDocument::Kind::Entry)
                            setField(shape.name, line.substr(line.find('=') + 1));
                    });
        alerts.push_back(std::move(a));
    }
    return AlertTable(std::move(alerts));
}

std::int32_t AlertStore::FindFreeAlertId() const {
    return freeIdIn(load().doc);
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
