#include "ReferenceLoader.h"

#include "store/AlertStore.h"
#include "store/FileIo.h"
#include "store/IniDocument.h"
#include "store/TextEncoding.h"

#include <string_view>

namespace zento::bench {
namespace {

std::string_view trim(std::string_view s) {
    while (!s.empty() && (s.front() == ' ' || s.front() == '\t' || s.front() == '\r'))
        s.remove_prefix(1);
    while (!s.empty() && (s.back() == ' ' || s.back() == '\t' || s.back() == '\r'))
        s.remove_suffix(1);
    return s;
}

bool sameNoCase(std::string_view a, std::string_view b) {
    if (a.size() != b.size())
        return false;
    for (std::size_t i = 0; i < a.size(); ++i)
        if ((a[i] | 0x20) != (b[i] | 0x20))
            return false;
    return true;
}

/// One profile-string lookup: a scan from the start of the text.
std::string lookup(std::string_view text, std::string_view section, std::string_view key) {
    bool inSection = false;
    std::size_t pos = 0;
    while (pos < text.size()) {
        std::size_t nl = text.find('\n', pos);
        if (nl == std::string_view::npos)
            nl = text.size();
        const std::string_view line = trim(text.substr(pos, nl - pos));
        pos = nl + 1;
        if (!line.empty() && line.front() == '[') {
            if (inSection)
                return {};
            const auto close = line.find(']');
            inSection =
                close != std::string_view::npos && sameNoCase(trim(line.substr(1, close - 1)), section);
        } else if (inSection) {
            const auto eq = line.find('=');
            if (eq != std::string_view::npos && sameNoCase(trim(line.substr(0, eq)), key))
                return IniDocument::unquoteValue(line.substr(eq + 1));
        }
    }
    return {};
}

} // namespace

AlertTable referenceLoadAllAlerts(const std::filesystem::path& iniPath) {
    const std::string text = decodeStoreBytes(readWholeFile(iniPath).bytes).utf8;
    std::vector<Alerte> alerts;
    for (const std::string& name : IniDocument::parse(text).sectionNames()) {
        const auto id = AlertStore::alertIdOfSection(name);
        if (id == 0)
            continue;
        Alerte a;
        a.Id = id;
        for (int k = 1; k <= Alerte::kFieldCount; ++k)
            a.field(k) = lookup(text, name, Alerte::keyOf(k));
        alerts.push_back(std::move(a));
    }
    return AlertTable(std::move(alerts));
}

} // namespace zento::bench
