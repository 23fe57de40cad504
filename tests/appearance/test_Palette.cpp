#include "appearance/EmoticonSet.h"
#include "appearance/NewAlertColors.h"
#include "appearance/Palette.h"
#include "support/CoreFakes.h"

#include <cmath>
#include <functional>
#include <gtest/gtest.h>
#include <limits>
#include <set>

namespace {
using namespace zento;

bool overlap(const TwipRect& a, const TwipRect& b) {
    return a.left < b.left + b.width && b.left < a.left + a.width && a.top < b.top + b.height &&
           b.top < a.top + a.height;
}

TEST(Palette, BothGridsPlaceSixteenCellsOnceEachWithoutOverlap) {
    struct Grid {
        const char* name;
        std::function<std::optional<int>(int, int)> indexAt;
        std::function<TwipRect(int)> rectOf;
    };
    const Grid grids[] = {{"palette", PaletteIndexAt, PaletteCellRect},
                          {"emoticons", EmoticonIndexAt, EmoticonRect}};
    for (const Grid& g : grids) {
        SCOPED_TRACE(g.name);
        std::set<int> seen;
        for (int row = 1; row <= 4; ++row)
            for (int column = 1; column <= 4; ++column) {
                const auto index = g.indexAt(row, column);
                ASSERT_TRUE(index && *index >= 0 && *index < 16);
                EXPECT_TRUE(seen.insert(*index).second) << "index " << *index << " placed twice";
                const TwipRect r = g.rectOf(*index);
                EXPECT_GT(r.width, 0);
                for (int other : seen)
                    EXPECT_TRUE(other == *index || !overlap(r, g.rectOf(other)))
                        << *index << " and " << other;
                // Reading order: left to right within a row, rows top to bottom.
                if (column > 1) {
                    EXPECT_GT(r.left, g.rectOf(*g.indexAt(row, column - 1)).left);
                }
                if (row > 1) {
                    EXPECT_GT(r.top, g.rectOf(*g.indexAt(row - 1, column)).top);
                }
            }
        EXPECT_EQ(g.indexAt(5, 1), std::nullopt);
        EXPECT_EQ(g.indexAt(1, 0), std::nullopt);
        EXPECT_EQ(g.rectOf(16), TwipRect{});
    }
    std::set<std::pair<ColorValue, ColorValue>> pairs;
    std::set<std::string_view> names, pictures;
    for (int i = 0; i < 16; ++i) {
        pairs.insert({PaletteCellAt(i)->background, PaletteCellAt(i)->text});
        names.insert(EmoticonAt(i)->name);
        pictures.insert(EmoticonAt(i)->resourcePath);
    }
    EXPECT_EQ(pairs.size(), 16u);
    EXPECT_EQ(names.size(), 16u);
    EXPECT_EQ(pictures.size(), 16u);
    EXPECT_EQ(PaletteCellAt(16), std::nullopt);
    EXPECT_EQ(EmoticonAt(-1), std::nullopt);
}

TEST(NewAlertColors, OneDrawPicksOneOfTheEightTopCells) {
    const double justBelowOne = std::nextafter(1.0, 0.0);
    const std::pair<double, int> cases[] = {{0.0, 0},   {0.124999, 0},
                                            {0.125, 1}, {0.5, 4},
                                            {0.875, 7}, {justBelowOne, 7},
                                            {1.0, 7},   {1.5, 7},
                                            {-0.1, 0},  {std::numeric_limits<double>::quiet_NaN(), 0}};
    test::FakeRandom random;
    for (const auto& [u, cell] : cases) {
        random.values = {u};
        EXPECT_EQ(RandomPaletteCell(random), cell) << u;
    }
    StdRandomSource seeded(20260310);
    std::set<int> cellsSeen;
    for (int i = 0; i < 2000; ++i) {
        const ColorPair pair = NewAlertColors("", "", seeded);
        for (int cell = 0; cell < 16; ++cell)
            if (pair == ColorPair{PaletteCellAt(cell)->background, PaletteCellAt(cell)->text})
                cellsSeen.insert(cell);
    }
    EXPECT_EQ(cellsSeen, (std::set<int>{0, 1, 2, 3, 4, 5, 6, 7})) << "never a mix, never the lower rows";
}

TEST(NewAlertColors, AStoredColourWinsAndAnUnreadableOneFallsBackToTheDrawnCell) {
    const PaletteCell cell1 = *PaletteCellAt(1);
    const struct {
        const char* fond;
        const char* police;
        ColorPair expected;
    } cases[] = {
        {"", "", {cell1.background, cell1.text}},
        {"8454143", "16384", {8454143, 16384}},
        {"&H0080FFFF&", "&H4000", {8454143, 16384}},
        {"8454143", "", {8454143, cell1.text}},
        {"", "0", {cell1.background, 0}},
        {"rouge", "16384", {cell1.background, 16384}},
        {"16777216", "-1", {cell1.background, cell1.text}},
        {"&HZZ", "&H", {cell1.background, cell1.text}},
    };
    for (const auto& c : cases)
        EXPECT_EQ(NewAlertColors(c.fond, c.police, 1), c.expected)
            << '"' << c.fond << "\" \"" << c.police << '"';
    EXPECT_EQ(NewAlertColors("", "", 12), (ColorPair{PaletteCellAt(7)->background, PaletteCellAt(7)->text}))
        << "a cell out of the random range is brought within it";
}

TEST(EmoticonSet, ANewAlertTakesTheDefaultWhenItNamesAPictureElseThePushPin) {
    const std::pair<const char*, int> cases[] = {{"0", 0},   {"12", 12},        {"15", 15}, {" 3 ", 3},
                                                 {"", 5},    {"Punaise", 5},    {"16", 5},  {"-1", 5},
                                                 {"2.5", 5}, {"99999999999", 5}};
    for (const auto& [text, index] : cases)
        EXPECT_EQ(NewAlertEmoticon(text), index) << '"' << text << '"';
}

TEST(StdRandomSource, StaysInTheUnitIntervalAndASeedRepeats) {
    StdRandomSource seeded(1), fresh, again(1);
    for (int i = 0; i < 10000; ++i) {
        const double a = seeded.NextUniform(), b = fresh.NextUniform();
        ASSERT_TRUE(a >= 0.0 && a < 1.0 && b >= 0.0 && b < 1.0);
    }
    StdRandomSource same(1);
    EXPECT_EQ(again.NextUniform(), same.NextUniform());
}

} // namespace
