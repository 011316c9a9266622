// The cell search of TNearestColorMap against the plain search over the
// whole palette: the same entry for every colour, ties to the lowest index.
#include <gtest/gtest.h>

#include <random>
#include <string>
#include <vector>

#include "imaging/nearest_color.h"

namespace pagewell {
namespace {

std::vector<TColor> RandomPalette(unsigned seed, int size, int redFrom, int redSpan, int greenFrom, int greenSpan) {
  std::mt19937 random(seed);
  std::vector<TColor> palette;
  for (int i = 0; i < size; ++i) {
    palette.push_back(RGBColor(redFrom + random() % redSpan, greenFrom + random() % greenSpan, random() % 256));
  }
  return palette;
}

// Every colour listed twice, so exact colours tie; black entries past it
// as in a table padded to 256 entries.
std::vector<TColor> DoubledPaddedPalette() {
  std::vector<TColor> palette = RandomPalette(3, 60, 0, 256, 0, 256);
  palette.insert(palette.end(), palette.begin(), palette.end());
  palette.resize(256, clBlack);
  return palette;
}

struct PaletteCase {
  std::string name;
  std::vector<TColor> palette;
};

TEST(NearestColorMap, FindsThePlainSearchsEntryForEveryColour) {
  const std::vector<PaletteCase> cases = {
      {"random, whole cube", RandomPalette(1, 256, 0, 256, 0, 256)},
      // Entries crowded where a photograph's colours are: cells keep many
      // entries and are split.
      {"crowded", RandomPalette(2, 256, 100, 40, 60, 30)},
      {"doubled and padded with black", DoubledPaddedPalette()},
      {"three entries", {RGBColor(10, 10, 10), RGBColor(200, 30, 30), RGBColor(12, 10, 10)}},
      {"one entry", {RGBColor(128, 0, 255)}},
  };
  std::mt19937 random(4);
  for (const PaletteCase& c : cases) {
    TNearestColorMap map(c.palette);
    int mismatches = 0;
    auto check = [&](unsigned r, unsigned g, unsigned b) {
      const TColor colour = RGBColor(r, g, b);
      if (map.IndexOf(colour) != NearestPaletteIndex(c.palette, colour) && ++mismatches <= 3) {
        ADD_FAILURE() << c.name << ": colour " << r << ", " << g << ", " << b;
      }
    };
    for (int i = 0; i < 4000; ++i) check(random() % 256, random() % 256, random() % 256);
    for (int i = 0; i < 4000; ++i) check(96 + random() % 48, 56 + random() % 38, random() % 256);
    check(11, 10, 10);  // halfway between two entries of "three entries": the lower index
  }
}

}  // namespace
}  // namespace pagewell
