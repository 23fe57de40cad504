// Feeds arbitrary bytes to everything that reads Alertes.ini: the decoding, the INI reader and
// writer, the table load and the readers of the values the program interprets. Besides the
// sanitizers' own findings, it checks what must hold whatever the file holds: an edit reads
// back as written and changes nothing else, a save reads back as the same document, and the
// value readers only accept what they can write back.
#include "schedule/DueScan.h"
#include "store/AlertStore.h"
#include "store/ColorValue.h"
#include "store/DateText.h"
#include "store/IniDocument.h"
#include "store/TextEncoding.h"

#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <string_view>
#include <unordered_set>
#include <vector>

using namespace zento;

namespace {

[[noreturn]] void fail(const char* what, int line) {
    std::fprintf(stderr, "fuzz_store: invariant broken at line %d: %s\n", line, what);
    std::abort();
}

#define CHECK(cond)                                                                                          \
    do {                                                                                                     \
        if (!(cond))                                                                                         \
            fail(#cond, __LINE__);                                                                           \
    } while (false)

constexpr std::string_view kBom = "\xEF\xBB\xBF";

std::string lowerAscii(std::string_view s) {
    std::string out(s);
    for (char& c : out)
        if (c >= 'A' && c <= 'Z')
            c = static_cast<char>(c + 32);
    return out;
}

/// A cheap deterministic choice driven by the input itself, so that every input always takes
/// the same path and a crash reproduces from the file alone.
struct Picker {
    std::string_view bytes;
    std::size_t at = 0;
    unsigned next() {
        if (bytes.empty())
            return 0;
        const auto b = static_cast<unsigned char>(bytes[at % bytes.size()]);
        at += 7;
        return b;
    }
    std::size_t below(std::size_t n) {
        if (n == 0)
            return 0;
        const unsigned low = next();
        return (low | (next() << 8)) % n;
    }
};

/// What `value` gives back after `setValue(section, key, v)`: line breaks become blanks and NUL
/// bytes are dropped, as the header says; everything else is kept.
std::string expectedReadBack(std::string_view v) {
    std::string out;
    for (std::size_t i = 0; i < v.size(); ++i) {
        if (v[i] == '\r') {
            out += ' ';
            if (i + 1 < v.size() && v[i + 1] == '\n')
                ++i;
        } else if (v[i] == '\n') {
            out += ' ';
        } else if (v[i] != '\0') {
            out += v[i];
        }
    }
    return out;
}

std::string trimBlanks(std::string_view s) {
    return std::string(TrimBlanks(s));
}

/// The first section of each name (as lookups see them) with its entries.
using Snapshot = std::vector<std::pair<std::string, std::vector<std::pair<std::string, std::string>>>>;

Snapshot snapshot(const IniDocument& doc) {
    Snapshot out;
    std::unordered_set<std::string> seen;
    for (const std::string& name : doc.sectionNames())
        if (seen.insert(lowerAscii(name)).second)
            out.emplace_back(name, doc.entries(name));
    return out;
}

/// The table the load reads from `text` follows from its document by the documented rules.
void checkTable(std::string_view text, const IniDocument& doc) {
    const AlertTable table = AlertStore::tableOfText(text);
    std::vector<std::int32_t> expectedIds;
    std::unordered_set<std::int32_t> seen;
    for (const std::string& name : doc.sectionNames()) {
        const std::int32_t id = AlertStore::alertIdOfSection(name);
        if (id > 0 && seen.insert(id).second)
            expectedIds.push_back(id);
    }
    CHECK(table.AlertCount() == static_cast<std::int32_t>(expectedIds.size()));
    for (std::int32_t pos = 1; pos <= table.AlertCount(); ++pos) {
        const Alerte& a = table.at(pos);
        CHECK(a.Id == expectedIds[static_cast<std::size_t>(pos - 1)]);
        CHECK(Alerte::sectionOf(a.Id) == "Alerte" + std::to_string(a.Id));
        CHECK(table.positionOf(a.Id) == pos);
        for (int k = 1; k <= Alerte::kFieldCount; ++k)
            CHECK(a.field(k) == doc.value(Alerte::sectionOf(a.Id), Alerte::keyOf(k)).value_or(""));
        CHECK(a.Uid == doc.value(Alerte::sectionOf(a.Id), Alerte::kUidKey).value_or(""));
    }
}

/// Saving goes text -> bytes -> text; the text must come back whole, whatever it holds, and
/// read as the same document (`entries` too when `deep`: the costly part, done once per input).
void checkSaveReadsBack(const IniDocument& doc, bool deep) {
    const std::string text = doc.serialize();
    const std::string bytes = encodeStoreText(text);
    CHECK(decodeStoreBytes(bytes).utf8 == text);
    const IniDocument again = IniDocument::parse(text);
    CHECK(again.serialize() == text);
    CHECK(again.lineCount() == doc.lineCount());
    CHECK(again.sectionNames() == doc.sectionNames());
    if (deep)
        CHECK(snapshot(again) == snapshot(doc));
}

void checkDecoding(std::string_view bytes, const DecodedText& d) {
    switch (d.encoding) {
    case StoreEncoding::Utf8WithBom:
        CHECK(bytes.substr(0, 3) == kBom && bytes.substr(3) == d.utf8);
        break;
    case StoreEncoding::Utf8:
        CHECK(d.utf8 == bytes && isValidUtf8(bytes));
        break;
    case StoreEncoding::Windows1252:
        // Every byte has its character, and writing the text back gives the same bytes.
        CHECK(!isValidUtf8(bytes) && isValidUtf8(d.utf8));
        CHECK(fitsWindows1252(d.utf8));
        CHECK(encodeStoreText(d.utf8) == bytes);
        break;
    }
}

void checkSetValue(IniDocument& doc, std::string_view section, std::string_view key, std::string_view v) {
    const Snapshot before = snapshot(doc);
    const std::vector<std::string> namesBefore = doc.sectionNames();
    const bool existed = doc.hasSection(section);
    doc.setValue(section, key, v);
    CHECK(doc.value(section, key) == expectedReadBack(v));

    // No value, however odd, adds or removes a section or changes another entry.
    std::vector<std::string> namesAfter = doc.sectionNames();
    if (!existed) {
        CHECK(!namesAfter.empty() && namesAfter.back() == trimBlanks(section));
        namesAfter.pop_back();
    }
    CHECK(namesAfter == namesBefore);
    const Snapshot after = snapshot(doc);
    CHECK(after.size() == before.size() + (existed ? 0 : 1));
    const std::string target = lowerAscii(trimBlanks(section));
    for (std::size_t i = 0; i < before.size(); ++i) {
        CHECK(after[i].first == before[i].first);
        if (lowerAscii(before[i].first) != target) {
            CHECK(after[i].second == before[i].second);
            continue;
        }
        const auto& was = before[i].second;
        const auto& now = after[i].second;
        const std::string k = lowerAscii(trimBlanks(key));
        std::size_t hit = was.size();
        for (std::size_t e = 0; e < was.size() && hit == was.size(); ++e)
            if (lowerAscii(was[e].first) == k)
                hit = e;
        CHECK(now.size() == was.size() + (hit == was.size() ? 1 : 0));
        for (std::size_t e = 0; e < was.size(); ++e)
            CHECK(now[e].first == was[e].first && (e == hit || now[e].second == was[e].second));
    }
}

void checkRemoveSection(IniDocument& doc, std::string_view section) {
    std::vector<std::string> names = doc.sectionNames();
    const std::size_t lines = doc.lineCount();
    const bool removed = doc.removeSection(section);
    const std::string target = lowerAscii(trimBlanks(section));
    std::size_t first = names.size();
    for (std::size_t i = 0; i < names.size() && first == names.size(); ++i)
        if (lowerAscii(names[i]) == target)
            first = i;
    CHECK(removed == (first != names.size()));
    if (removed) {
        names.erase(names.begin() + static_cast<std::ptrdiff_t>(first));
        CHECK(doc.lineCount() < lines);
    }
    CHECK(doc.sectionNames() == names);
}

void checkDate(std::string_view s) {
    if (const auto d = ParseDate(s)) {
        CHECK(d->ok());
        CHECK(ParseDate(FormatDate(*d)) == d);
    }
}

void checkTime(std::string_view s) {
    if (const auto t = ParseTime(s)) {
        CHECK(t->count() >= 0 && t->count() < 86400);
        CHECK(ParseTime(FormatTime(*t)) == std::chrono::seconds{t->count() / 60 * 60});
    }
}

void checkInt(std::string_view s) {
    if (const auto v = ParseInt32(s))
        CHECK(ParseInt32(std::to_string(*v)) == v);
}

void checkColor(std::string_view s) {
    if (const auto c = ParseColorValue(s)) {
        CHECK(*c <= 0xFFFFFFu);
        CHECK(ParseColorValue(FormatColorValue(*c)) == c);
        char hex[16];
        std::snprintf(hex, sizeof hex, "&H%X&", static_cast<unsigned>(*c));
        CHECK(ParseColorValue(hex) == c);
    }
}

void checkDueMoment(std::string_view date, std::string_view time) {
    const auto m = DueMoment(date, time);
    const auto d = ParseDate(date);
    if (TrimBlanks(time).empty()) {
        if (d)
            CHECK(m == AtTime(*d, std::chrono::seconds{0}));
    } else if (const auto t = ParseTime(time); d && t) {
        CHECK(m == AtTime(*d, *t));
    }
    if (m) {
        CHECK(DayOf(*m).ok());
        CHECK(TimeOfDay(*m).count() >= 0 && TimeOfDay(*m).count() < 86400);
    }
}

void checkValueReaders(std::string_view s, std::string_view next) {
    checkDate(s);
    checkTime(s);
    checkInt(s);
    checkColor(s);
    checkDueMoment(s, next);
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string_view bytes(reinterpret_cast<const char*>(data), size);

    const DecodedText decoded = decodeStoreBytes(bytes);
    checkDecoding(bytes, decoded);

    IniDocument doc = IniDocument::parse(decoded.utf8);
    checkSaveReadsBack(doc, true);
    checkTable(decoded.utf8, doc);

    // Every value the file holds goes through the readers the program applies to fields, each
    // with the next one as a time, as an alert's date and time would be read together.
    std::vector<std::string> values;
    for (const auto& [name, entries] : snapshot(doc))
        for (const auto& [key, value] : entries)
            values.push_back(value);
    for (std::size_t i = 0; i < values.size(); ++i)
        checkValueReaders(values[i], i + 1 < values.size() ? values[i + 1] : std::string_view{});
    checkValueReaders(decoded.utf8, {});

    // A few edits as the store makes them, aimed at sections and keys of the file itself or at
    // the ones the program writes, with values cut from the input (line breaks included).
    Picker pick{bytes};
    const std::string_view text = decoded.utf8;
    const int edits = 1 + static_cast<int>(pick.below(4));
    for (int n = 0; n < edits; ++n) {
        const std::vector<std::string> names = doc.sectionNames();
        std::string section;
        if (!names.empty() && pick.next() % 3 != 0)
            section = names[pick.below(names.size())];
        else if (pick.next() % 4 == 0)
            section = std::string(AlertStore::kParam);
        else
            section = Alerte::sectionOf(static_cast<std::int32_t>(1 + pick.below(12)));

        if (pick.next() % 5 == 0) {
            checkRemoveSection(doc, section);
        } else {
            std::string key;
            const auto entries = doc.entries(section);
            if (!entries.empty() && pick.next() % 2 == 0)
                key = entries[pick.below(entries.size())].first;
            else
                key = Alerte::keyOf(1 + static_cast<int>(pick.below(Alerte::kFieldCount)));
            const std::size_t from = pick.below(text.size() + 1);
            const std::size_t length = pick.below(text.size() - from + 1);
            checkSetValue(doc, section, key, text.substr(from, length));
        }
        checkSaveReadsBack(doc, false);
    }
    checkSaveReadsBack(doc, true);
    checkTable(doc.serialize(), doc);

    // The store saves the edited text and reads it again on the next operation.
    const IniDocument reread = IniDocument::parse(decodeStoreBytes(encodeStoreText(doc.serialize())).utf8);
    CHECK(reread.serialize() == doc.serialize());
    return 0;
}
