#pragma once

#include <cstddef>
#include <optional>
#include <string>
#include <string_view>
#include <unordered_map>
#include <utility>
#include <vector>

namespace zento {

/// An INI ("private profile") file held as its lines, so that a rewrite keeps everything it
/// does not change (comments, foreign sections, stray text) exactly as it stood.
///
/// Semantics, those of the Windows profile functions the store was first written against:
/// section and key names match without regard to (ASCII) case; blanks around names and values
/// are dropped; a value wholly enclosed in double quotes loses that one pair on reading; the
/// first of duplicate sections or keys is the one read and written; a replaced entry keeps its
/// line, a new entry goes after the last line of its section, a new section to the end.
/// Text is UTF-8; line breaks are written CR LF, and LF alone is accepted on reading.
class IniDocument final {
public:
    IniDocument() = default;

    /// Splits UTF-8 text into lines and classifies them. Never fails.
    static IniDocument parse(std::string_view text);

    /// The whole document, every line ended by CR LF.
    std::string serialize() const;

    /// The value of `key` in `section`, or nullopt when either is missing.
    std::optional<std::string> value(std::string_view section, std::string_view key) const;

    /// The same as parse(text).value(section, key), read in one scan without building the
    /// document: for the single settings read from a store of thousands of alerts.
    static std::optional<std::string> valueIn(std::string_view text, std::string_view section,
                                              std::string_view key);

    /// Replaces the entry in place, or appends it to its section, creating the section at the
    /// end of the document when missing. Line breaks in `value` become blanks and a value that
    /// would not read back as written (outer blanks, enclosing quotes) is quoted, so that what
    /// is read back is what was given.
    void setValue(std::string_view section, std::string_view key, std::string_view value);

    /// Removes the first section of that name with all its lines. False when there is none.
    bool removeSection(std::string_view section);

    /// Names of all sections in document order, duplicates included.
    std::vector<std::string> sectionNames() const;

    /// True when a section of that name exists.
    bool hasSection(std::string_view section) const;

    /// The name of the first section matching `section`, spelled as in the file.
    std::optional<std::string> sectionSpelling(std::string_view section) const;

    /// The key/value entries of the first section of that name, in document order
    /// (values already unquoted as `value` returns them).
    std::vector<std::pair<std::string, std::string>> entries(std::string_view section) const;

    /// Calls f(name) for every section header, in document order, duplicates included.
    template <typename F>
    void forEachSection(F&& f) const {
        for (const auto i : m_headers)
            f(std::string_view(m_lines[i].name));
    }

    /// Calls f(key, rawValue) for every entry of the first section of that name, in document
    /// order, without copying; `rawValue` is the text after "=" (see unquoteValue).
    template <typename F>
    void forEachEntry(std::string_view section, F&& f) const {
        const auto span = findSection(section);
        if (!span)
            return;
        for (std::size_t i = span->header + 1; i < span->end; ++i) {
            const Line& l = m_lines[i];
            if (l.kind == Kind::Entry)
                f(std::string_view(l.name), std::string_view(l.text).substr(l.text.find('=') + 1));
        }
    }

    /// Number of lines held.
    std::size_t lineCount() const { return m_lines.size(); }

    /// How a value is read back from the text after "=": blanks trimmed, one enclosing pair of
    /// double quotes removed.
    static std::string unquoteValue(std::string_view raw);

    /// The text to write after "=" so that `unquoteValue` gives `value` back.
    static std::string quoteValue(std::string_view value);

    /// What a line is: a section header "[name]", an entry "key=value" (not a comment
    /// starting with ";" or "#"), or anything else, kept as it stands.
    enum class Kind { Other, Section, Entry };
    struct LineShape {
        Kind kind = Kind::Other;
        std::string_view name; ///< section name or key, trimmed
    };
    static LineShape shapeOf(std::string_view line);

private:
    struct Line {
        std::string text; ///< the line as it stands, without its line break
        Kind kind = Kind::Other;
        std::string name; ///< section name or key, trimmed
    };
    struct SectionSpan {
        std::size_t header = 0; ///< index of the "[name]" line
        std::size_t end = 0;    ///< one past its last line
    };

    static Line classify(std::string text);
    static std::string lowerAscii(std::string_view s);
    void reindex();
    /// Keeps the index right after one line was inserted at `at`, without rebuilding it.
    void noteLineInserted(std::size_t at);
    std::optional<SectionSpan> findSection(std::string_view section) const;
    std::optional<std::size_t> findEntry(const SectionSpan& span, std::string_view key) const;

    std::vector<Line> m_lines;
    /// Lower-case section name -> the place in m_headers of the first header of that name.
    std::unordered_map<std::string, std::size_t> m_firstSection;
    /// Header line indexes in order, to find where a section ends.
    std::vector<std::size_t> m_headers;
};

} // namespace zento
