#include "appearance/EmoticonSet.h"
#include "appearance/NewAlertColors.h"
#include "appearance/Palette.h"

#include <cmath>
#include <gtest/gtest.h>
#include <limits>
#include <set>
#include <vector>

namespace {
using namespace zento;

/// A source that replays fixed values, then a simple deterministic sequence.
class ScriptedRandom final : public RandomSource {
public:
    explicit ScriptedRandom(std::vector<double> values) : m_values(std::move(values)) {}
    double NextUniform() override { return m_values.at(m_next++ % m_values.size()); }

private:
    std::vector<double> m_values;
    std::size_t m_next = 0;
};

unsigned rgb(ColorValue c) {
    return RedOf(c) << 16 | GreenOf(c) << 8 | BlueOf(c);
}

TEST(Palette, TableValues) {
    struct Case {
        int index;
        unsigned background, text; // #RRGGBB
    };
    for (const Case& c :
         {Case{0, 0xFFFFFF, 0x000000}, Case{1, 0xFFC0C0, 0xFF0000}, Case{5, 0xC0FFFF, 0x000080},
          Case{9, 0x8080FF, 0x004000}, Case{12, 0xFFFF80, 0xFF80FF}, Case{13, 0xFFC080, 0x404040},
          Case{15, 0xE0E0E0, 0xFFFF80}}) {
        const auto cell = PaletteCellAt(c.index);
        ASSERT_TRUE(cell);
        EXPECT_EQ(rgb(cell->background), c.background) << c.index;
        EXPECT_EQ(rgb(cell->text), c.text) << c.index;
    }
    EXPECT_EQ(PaletteCellAt(13)->background, 8438015u);
    EXPECT_EQ(PaletteCellAt(13)->text, 4210752u);
    EXPECT_EQ(PaletteCellAt(9)->background, 16744576u);
    EXPECT_EQ(PaletteCellAt(9)->text, 16384u);
    EXPECT_EQ(PaletteCellAt(-1), std::nullopt);
    EXPECT_EQ(PaletteCellAt(16), std::nullopt);
    for (int i = 0; i < kPaletteSize; ++i)
        EXPECT_EQ(kPalette[static_cast<std::size_t>(i)].index, i);
}

TEST(Palette, GridOrder) {
    // Indexes as seen from the top left, row by row.
    const int expected[4][4] = {{0, 1, 2, 3}, {4, 5, 6, 7}, {15, 14, 13, 12}, {11, 10, 9, 8}};
    const int lefts[4] = {120, 480, 840, 1200};
    const int tops[4] = {240, 600, 960, 1320};
    for (int r = 0; r < 4; ++r)
        for (int c = 0; c < 4; ++c) {
            const int index = expected[r][c];
            EXPECT_EQ(PaletteIndexAt(r + 1, c + 1), index);
            EXPECT_EQ(PaletteCellRect(index), (TwipRect{lefts[c], tops[r], 330, 330})) << index;
        }
    EXPECT_EQ(PaletteIndexAt(5, 1), std::nullopt);
    EXPECT_EQ(PaletteCellRect(16), TwipRect{});
}

TEST(EmoticonSet, NamesPicturesAndGridOrder) {
    const int expected[4][4] = {{0, 1, 2, 3}, {7, 6, 5, 4}, {8, 9, 10, 11}, {12, 13, 14, 15}};
    const int lefts[4] = {120, 480, 840, 1200};
    const int tops[4] = {180, 540, 900, 1260};
    for (int r = 0; r < 4; ++r)
        for (int c = 0; c < 4; ++c) {
            const int index = expected[r][c];
            EXPECT_EQ(EmoticonIndexAt(r + 1, c + 1), index);
            EXPECT_EQ(EmoticonRect(index), (TwipRect{lefts[c], tops[r], 360, 330})) << index;
        }
    std::set<std::string_view> names;
    for (const EmoticonInfo& e : kEmoticons) {
        names.insert(e.name);
        char path[32];
        std::snprintf(path, sizeof path, ":/emoticons/emo_%02d.svg", e.index);
        EXPECT_EQ(e.resourcePath, path);
    }
    EXPECT_EQ(names.size(), 16u);
    EXPECT_EQ(EmoticonAt(kDefaultEmoticon)->name, "Punaise");
    EXPECT_EQ(EmoticonAt(13)->name, "Cœur");
    EXPECT_EQ(EmoticonAt(16), std::nullopt);
}

TEST(EmoticonSet, NewAlertEmoticonRule) {
    struct Case {
        const char* text;
        int index;
    };
    for (const Case& c :
         {Case{"0", 0}, Case{"12", 12}, Case{"15", 15}, Case{" 3 ", 3}, Case{"", 5}, Case{"Punaise", 5},
          Case{"16", 5}, Case{"-1", 5}, Case{"2.5", 5}, Case{"99999999999", 5}})
        EXPECT_EQ(NewAlertEmoticon(c.text), c.index) << '"' << c.text << '"';
}

TEST(NewAlertColors, RandomCellFromOneDraw) {
    struct Case {
        double u;
        int cell;
    };
    const double justBelowOne = std::nextafter(1.0, 0.0);
    for (const Case& c : {Case{0.0, 0}, Case{0.124999, 0}, Case{0.125, 1}, Case{0.5, 4}, Case{0.875, 7},
                          Case{justBelowOne, 7}, Case{1.0, 7}, Case{1.5, 7}, Case{-0.1, 0},
                          Case{std::numeric_limits<double>::quiet_NaN(), 0}}) {
        ScriptedRandom random({c.u});
        EXPECT_EQ(RandomPaletteCell(random), c.cell) << c.u;
    }
}

TEST(NewAlertColors, RandomPairIsAlwaysOneTopCell) {
    StdRandomSource random(20260310);
    std::set<int> cellsSeen;
    for (int i = 0; i < 2000; ++i) {
        const ColorPair pair = NewAlertColors("", "", random);
        int matches = 0;
        for (int cell = 0; cell < kRandomPaletteCells; ++cell)
            if (pair == ColorPair{kPalette[static_cast<std::size_t>(cell)].background,
                                  kPalette[static_cast<std::size_t>(cell)].text}) {
                ++matches;
                cellsSeen.insert(cell);
            }
        ASSERT_EQ(matches, 1) << "draw " << i;
    }
    EXPECT_EQ(cellsSeen.size(), 8u); // every top cell comes up
}

TEST(NewAlertColors, StoredDefaults) {
    const PaletteCell& cell1 = kPalette[1];
    struct Case {
        const char* fond;
        const char* police;
        ColorPair expected;
    };
    const Case cases[] = {
        {"", "", {cell1.background, cell1.text}},
        {"8454143", "16384", {8454143, 16384}},
        {"&H0080FFFF&", "&H4000", {8454143, 16384}},
        {"8454143", "", {8454143, cell1.text}},
        {"", "0", {cell1.background, 0}},
        // Unreadable values fall back to the drawn cell, each on its own.
        {"rouge", "16384", {cell1.background, 16384}},
        {"16777216", "-1", {cell1.background, cell1.text}},
        {"&HZZ", "&H", {cell1.background, cell1.text}},
    };
    for (const Case& c : cases)
        EXPECT_EQ(NewAlertColors(c.fond, c.police, 1), c.expected)
            << '"' << c.fond << "\" \"" << c.police << '"';
    EXPECT_EQ(rgb(NewAlertColors("8454143", "", 0).background), 0xFFFF80u);
    // A cell out of the random range is brought within it.
    EXPECT_EQ(NewAlertColors("", "", 12), (ColorPair{kPalette[7].background, kPalette[7].text}));
}

TEST(NewAlertColors, DrawsOnceEvenWithStoredColours) {
    ScriptedRandom random({0.30, 0.90}); // cell 2, then cell 7
    EXPECT_EQ(NewAlertColors("0", "0", random), (ColorPair{0, 0}));
    EXPECT_EQ(NewAlertColors("", "", random), (ColorPair{kPalette[7].background, kPalette[7].text}));
}

TEST(StdRandomSource, StaysInTheUnitInterval) {
    StdRandomSource seeded(1);
    StdRandomSource fresh;
    for (int i = 0; i < 10000; ++i) {
        const double a = seeded.NextUniform();
        const double b = fresh.NextUniform();
        ASSERT_TRUE(a >= 0.0 && a < 1.0);
        ASSERT_TRUE(b >= 0.0 && b < 1.0);
    }
    StdRandomSource again(1), same(1);
    EXPECT_EQ(again.NextUniform(), same.NextUniform());
}

} // namespace
