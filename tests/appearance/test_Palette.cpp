#include "appearance/EmoticonSet.h"
#include "appearance/NewAlertColors.h"
#include "appearance/Palette.h"
#include "support/CoreFakes.h"

#include <cmath>
#include <gtest/gtest.h>

namespace {
using namespace zento;

TEST(Palette, NothingLiesOutsideTheSixteenCells) {
    EXPECT_FALSE(PaletteCellAt(16) || PaletteCellAt(-1));
}

TEST(NewAlertColors, OneDrawPicksOneOfTheEightTopCellsWhateverTheSourceGives) {
    const std::pair<double, int> cases[] = {{0.124999, 0}, {0.125, 1}, {std::nextafter(1.0, 0.0), 7},
                                            {1.5, 7},      {-0.1, 0},  {std::nan(""), 0}};
    test::FakeRandom random;
    for (const auto& [u, cell] : cases) {
        random.values = {u};
        EXPECT_EQ(RandomPaletteCell(random), cell) << u;
    }
    // Black is a colour like another; a cell out of the random range is brought within it.
    EXPECT_EQ(NewAlertColors("", "0", 12), (ColorPair{kPalette[7].background, 0}));
}

TEST(EmoticonSet, ANewAlertTakesTheDefaultWhenItNamesAPictureElseThePushPin) {
    const std::pair<const char*, int> cases[] = {{"0", 0}, {"15", 15}, {"-1", 5}, {"16", 5}};
    for (const auto& [text, index] : cases)
        EXPECT_EQ(NewAlertEmoticon(text), index) << '"' << text << '"';
}

TEST(StdRandomSource, StaysInTheUnitIntervalAndASeedRepeats) {
    StdRandomSource seeded(1), fresh, again(1);
    for (int i = 0; i < 10000; ++i) {
        const double a = seeded.NextUniform(), b = fresh.NextUniform();
        ASSERT_TRUE(a >= 0.0 && a < 1.0 && b >= 0.0 && b < 1.0);
    }
    EXPECT_EQ(again.NextUniform(), StdRandomSource(1).NextUniform());
}

} // namespace
