#include "store/AlertStore.h"

#include "store/FileIo.h"
#include "store/IniText.h"
#include "store/TextEncoding.h"

#include <algorithm>
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

AlertStore::StoreText AlertStore::readText() const {
    FileRead read = readWholeFile(m_iniPath);
    if (read.status == FileRead::Status::Error)
        return {{}, Error{ErrorCode::StoreUnreadable, read.error}};
    return {decodeOwnedStoreBytes(std::move(read.bytes)).utf8, std::nullopt};
}

std::string_view AlertStore::keyName(ParamKey key) {
    switch (key) {
    case ParamKey::Nb:
        return "Nb";
    case ParamKey::Fond:
        return "Fond";
    case ParamKey::Police:
        return "Police";
    case ParamKey::Img:
        break;
    }
    return "Img";
}

std::string AlertStore::ReadParam(ParamKey key) const {
    return IniDocument::valueIn(readText().utf8, kParam, keyName(key)).value_or(std::string());
}

Status AlertStore::edit(const std::function<bool(StoreEdit&)>& change) {
    const FolderLock lock(m_iniPath.parent_path());
    const FileRead read = readWholeFile(m_iniPath);
    if (read.status == FileRead::Status::Error)
        return Error{ErrorCode::StoreUnreadable, read.error};
    const bool existed = read.status == FileRead::Status::Ok;

    IniDocument doc = IniDocument::parse(decodeStoreBytes(read.bytes).utf8);
    StoreEdit edit(doc);
    if (!change(edit))
        return {};
    // Only a change that has something to write needs the file writable: answering the popup of
    // an alert removed meanwhile goes through on a read-only store.
    if (existed && isReadOnlyFile(m_iniPath))
        return Error{ErrorCode::StoreReadOnly, m_iniPath.string()};
    const std::string bytes = encodeStoreText(doc.serialize());

    // The previous state stays at hand beside the file; losing the backup must not stop a save.
    if (existed)
        (void)writeFileAtomically(backupPath(), read.bytes);
    if (std::string why = writeFileAtomically(m_iniPath, bytes); !why.empty())
        return Error{ErrorCode::WriteFailed, std::move(why)};
    removeStaleTemporaries(m_iniPath);
    return {};
}

bool StoreEdit::hasAlert(std::int32_t id) const {
    return m_doc.hasSection(Alerte::sectionOf(id));
}

void StoreEdit::setAlert(const Alerte& alert) {
    const std::string section = Alerte::sectionOf(alert.Id);
    for (int k = 1; k <= Alerte::kFieldCount; ++k)
        m_doc.setValue(section, Alerte::keyOf(k), alert.field(k));
    // An alert made here has no UID; an edit of an imported one keeps the UID it had.
    if (!alert.Uid.empty())
        m_doc.setValue(section, Alerte::kUidKey, alert.Uid);
}

void StoreEdit::setField(std::int32_t id, AlertField field, std::string_view value) {
    m_doc.setValue(Alerte::sectionOf(id), Alerte::keyOf(static_cast<int>(field)), value);
}

bool StoreEdit::removeAlert(std::int32_t id) {
    return m_doc.removeSection(Alerte::sectionOf(id));
}

std::int32_t StoreEdit::freeId(std::int32_t from) const {
    for (std::int32_t n = std::max(from, 1); n < std::numeric_limits<std::int32_t>::max(); ++n) {
        const std::string section = Alerte::sectionOf(n);
        const auto message = m_doc.value(section, Alerte::keyOf(1));
        if (message && !message->empty())
            continue;
        // A section spelled in another case ("alerte5") would take the writes but is not
        // loaded as an alert: the new alert would vanish from the program. Skip that Id.
        const auto spelling = m_doc.sectionSpelling(section);
        if (!spelling || *spelling == section)
            return n;
    }
    return std::numeric_limits<std::int32_t>::max();
}

std::int32_t StoreEdit::alertCount() const {
    std::unordered_set<std::int32_t> ids;
    m_doc.forEachSection([&](std::string_view name) {
        if (const std::int32_t id = AlertStore::alertIdOfSection(name))
            ids.insert(id);
    });
    return static_cast<std::int32_t>(ids.size());
}

std::string StoreEdit::param(ParamKey key) const {
    return m_doc.value(AlertStore::kParam, AlertStore::keyName(key)).value_or(std::string());
}

void StoreEdit::setParam(ParamKey key, std::string_view value) {
    m_doc.setValue(AlertStore::kParam, AlertStore::keyName(key), value);
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

Result<AlertTable> AlertStore::LoadAllAlerts() const {
    StoreText t = readText();
    if (t.error)
        return std::move(*t.error);
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
        ForEachLine(
            text, source.bodyBegin, source.bodyEnd, [&](std::string_view line, std::size_t, std::size_t) {
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

} // namespace zento
