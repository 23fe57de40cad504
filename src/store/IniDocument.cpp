#include "store/IniDocument.h"

#include "store/DateText.h"
#include "store/IniText.h"

#include <algorithm>

namespace zento {
namespace {

bool isBlank(char c) {
    return c == ' ' || c == '\t';
}

} // namespace

bool EqualsNoCase(std::string_view a, std::string_view b) {
    if (a.size() != b.size())
        return false;
    for (std::size_t i = 0; i < a.size(); ++i) {
        auto x = static_cast<unsigned char>(a[i]);
        auto y = static_cast<unsigned char>(b[i]);
        if (x >= 'A' && x <= 'Z')
            x = static_cast<unsigned char>(x + 32);
        if (y >= 'A' && y <= 'Z')
            y = static_cast<unsigned char>(y + 32);
        if (x != y)
            return false;
    }
    return true;
}

std::string IniDocument::lowerAscii(std::string_view s) {
    std::string out(s);
    for (char& c : out)
        if (c >= 'A' && c <= 'Z')
            c = static_cast<char>(c + 32);
    return out;
}

IniDocument::LineShape IniDocument::shapeOf(std::string_view text) {
    const std::string_view t = TrimBlanks(text);
    if (!t.empty() && t.front() == '[') {
        const auto close = t.find(']');
        if (close != std::string_view::npos)
            return {Kind::Section, TrimBlanks(t.substr(1, close - 1))};
    } else if (!t.empty() && t.front() != ';' && t.front() != '#') {
        const auto eq = t.find('=');
        if (eq != std::string_view::npos)
            return {Kind::Entry, TrimBlanks(t.substr(0, eq))};
    }
    return {};
}

IniDocument::Line IniDocument::classify(std::string text) {
    Line line;
    const LineShape shape = shapeOf(text);
    line.kind = shape.kind;
    line.name = std::string(shape.name);
    line.text = std::move(text);
    return line;
}

IniDocument IniDocument::parse(std::string_view text) {
    IniDocument doc;
    doc.m_lines.reserve(static_cast<std::size_t>(std::count(text.begin(), text.end(), '\n')) + 1);
    ForEachLine(text, 0, text.size(), [&doc](std::string_view line, std::size_t, std::size_t) {
        doc.m_lines.push_back(classify(std::string(line)));
    });
    doc.reindex();
    return doc;
}

void IniDocument::reindex() {
    m_firstSection.clear();
    m_headers.clear();
    for (std::size_t i = 0; i < m_lines.size(); ++i) {
        if (m_lines[i].kind != Kind::Section)
            continue;
        m_headers.push_back(i);
        m_firstSection.try_emplace(lowerAscii(m_lines[i].name), m_headers.size() - 1);
    }
}

void IniDocument::noteLineInserted(std::size_t at) {
    // Adding an alert inserts ten lines into a file of thousands: shifting the positions
    // after the new line is far cheaper than hashing every section name again.
    const auto after = std::lower_bound(m_headers.begin(), m_headers.end(), at);
    const auto ordinal = static_cast<std::size_t>(after - m_headers.begin());
    for (auto it = after; it != m_headers.end(); ++it)
        ++*it;
    if (m_lines[at].kind != Kind::Section)
        return;
    m_headers.insert(after, at);
    if (ordinal + 1 < m_headers.size())
        for (auto& entry : m_firstSection)
            if (entry.second >= ordinal)
                ++entry.second;
    const auto [it, added] = m_firstSection.try_emplace(lowerAscii(m_lines[at].name), ordinal);
    if (!added && ordinal < it->second)
        it->second = ordinal;
}

std::string IniDocument::serialize() const {
    std::size_t size = 0;
    for (const auto& l : m_lines)
        size += l.text.size() + 2;
    std::string out;
    out.reserve(size);
    for (const auto& l : m_lines) {
        out += l.text;
        out += "\r\n";
    }
    return out;
}

std::optional<IniDocument::SectionSpan> IniDocument::findSection(std::string_view section) const {
    const auto it = m_firstSection.find(lowerAscii(TrimBlanks(section)));
    if (it == m_firstSection.end())
        return std::nullopt;
    SectionSpan span;
    span.header = m_headers[it->second];
    span.end = it->second + 1 < m_headers.size() ? m_headers[it->second + 1] : m_lines.size();
    return span;
}

std::optional<std::size_t> IniDocument::findEntry(const SectionSpan& span, std::string_view key) const {
    const std::string_view k = TrimBlanks(key);
    for (std::size_t i = span.header + 1; i < span.end; ++i)
        if (m_lines[i].kind == Kind::Entry && EqualsNoCase(m_lines[i].name, k))
            return i;
    return std::nullopt;
}

std::string IniDocument::unquoteValue(std::string_view raw) {
    std::string_view v = TrimBlanks(raw);
    if (v.size() >= 2 && v.front() == '"' && v.back() == '"')
        v = v.substr(1, v.size() - 2);
    return std::string(v);
}

std::string IniDocument::quoteValue(std::string_view value) {
    std::string v;
    v.reserve(value.size());
    // A line break would end the entry and start a line of its own (even a section header):
    // the value is kept on one line instead.
    for (std::size_t i = 0; i < value.size(); ++i) {
        const char c = value[i];
        if (c == '\r') {
            v += ' ';
            if (i + 1 < value.size() && value[i + 1] == '\n')
                ++i;
        } else if (c == '\n') {
            v += ' ';
        } else if (c != '\0') {
            v += c;
        }
    }
    const bool outerBlank = !v.empty() && (isBlank(v.front()) || isBlank(v.back()));
    const bool enclosed = v.size() >= 2 && v.front() == '"' && v.back() == '"';
    if (outerBlank || enclosed) {
        std::string quoted(1, '"');
        quoted += v;
        quoted += '"';
        return quoted;
    }
    return v;
}

std::optional<std::string> IniDocument::value(std::string_view section, std::string_view key) const {
    const auto span = findSection(section);
    if (!span)
        return std::nullopt;
    const auto entry = findEntry(*span, key);
    if (!entry)
        return std::nullopt;
    const std::string& text = m_lines[*entry].text;
    return unquoteValue(std::string_view(text).substr(text.find('=') + 1));
}

std::optional<std::string> IniDocument::valueIn(std::string_view text, std::string_view section,
                                                std::string_view key) {
    const std::string_view wantedSection = TrimBlanks(section);
    const std::string_view wantedKey = TrimBlanks(key);
    bool inSection = false;
    std::optional<std::string> found;
    // Only the first section of that name is read: the walk ends with it.
    ForEachLine(text, 0, text.size(), [&](std::string_view line, std::size_t, std::size_t) {
        const LineShape shape = shapeOf(line);
        if (shape.kind == Kind::Section) {
            if (inSection)
                return false;
            inSection = EqualsNoCase(shape.name, wantedSection);
        } else if (inSection && shape.kind == Kind::Entry && EqualsNoCase(shape.name, wantedKey)) {
            found = unquoteValue(line.substr(line.find('=') + 1));
            return false;
        }
        return true;
    });
    return found;
}

void IniDocument::setValue(std::string_view section, std::string_view key, std::string_view value) {
    const std::string entryText = std::string(TrimBlanks(key)) + "=" + quoteValue(value);
    const auto span = findSection(section);
    if (!span) {
        std::string header(1, '[');
        header += TrimBlanks(section);
        header += ']';
        m_lines.push_back(classify(std::move(header)));
        noteLineInserted(m_lines.size() - 1);
        m_lines.push_back(classify(entryText));
        noteLineInserted(m_lines.size() - 1);
        return;
    }
    if (const auto entry = findEntry(*span, key)) {
        Line& line = m_lines[*entry];
        // Keep the key as it is spelled in the file; only the value changes.
        line = classify(line.name + "=" + quoteValue(value));
        return;
    }
    std::size_t at = span->end;
    while (at > span->header + 1 && TrimBlanks(m_lines[at - 1].text).empty())
        --at;
    m_lines.insert(m_lines.begin() + static_cast<std::ptrdiff_t>(at), classify(entryText));
    noteLineInserted(at);
}

bool IniDocument::removeSection(std::string_view section) {
    const auto span = findSection(section);
    if (!span)
        return false;
    m_lines.erase(m_lines.begin() + static_cast<std::ptrdiff_t>(span->header),
                  m_lines.begin() + static_cast<std::ptrdiff_t>(span->end));
    reindex();
    return true;
}

std::vector<std::string> IniDocument::sectionNames() const {
    std::vector<std::string> names;
    names.reserve(m_headers.size());
    for (const auto i : m_headers)
        names.push_back(m_lines[i].name);
    return names;
}

bool IniDocument::hasSection(std::string_view section) const {
    return findSection(section).has_value();
}

std::optional<std::string> IniDocument::sectionSpelling(std::string_view section) const {
    const auto span = findSection(section);
    if (!span)
        return std::nullopt;
    return m_lines[span->header].name;
}

std::vector<std::pair<std::string, std::string>> IniDocument::entries(std::string_view section) const {
    std::vector<std::pair<std::string, std::string>> out;
    forEachEntry(section, [&out](std::string_view key, std::string_view raw) {
        out.emplace_back(std::string(key), unquoteValue(raw));
    });
    return out;
}

} // namespace zento
