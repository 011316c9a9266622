// How the PNG writer filters rows and compresses a page: each row gets the
// filter that leaves it smallest, every filter is undone exactly, and a
// noisy page goes to the runs-and-literals coder while a clean one keeps
// the match finder.
#include <gtest/gtest.h>

#include <cstdint>
#include <vector>

#include "formats/png/png_deflate.h"
#include "formats/png/png_filters.h"
#include "formats/png/png_test_support.h"

namespace pagewell {
namespace {

using Row = std::vector<std::uint8_t>;

TEST(PngFilters, EveryFilterIsUndoneExactly) {
  const Row prior = {9, 200, 3, 77, 255, 0, 128, 64, 31, 5};
  const Row row = {250, 1, 130, 77, 0, 255, 127, 66, 30, 200};
  for (std::size_t bpp : {1u, 2u, 3u, 4u})
    for (TPngFilter type : {pfNone, pfSub, pfUp, pfAverage, pfPaeth}) {
      Row filtered(row.size());
      FilterRow(type, row.data(), prior.data(), row.size(), bpp, filtered.data());
      ASSERT_TRUE(UnfilterRow(type, filtered.data(), prior.data(), filtered.size(), bpp));
      EXPECT_EQ(filtered, row) << "filter " << int(type) << ", " << bpp << " bytes a pixel";
    }
}

TEST(PngFilters, EachRowGetsTheFilterThatSuitsIt) {
  struct Case {
    const char* what;
    Row prior, row;
    TPngFilter expected;
  };
  const Case cases[] = {
      {"the row above again", {7, 90, 200, 13, 55, 240}, {7, 90, 200, 13, 55, 240}, pfUp},
      {"a ramp along the row", {0, 0, 0, 0, 0, 0}, {10, 20, 30, 40, 50, 60}, pfSub},
      {"a dark row under a varied one", {200, 13, 90, 255, 7, 60}, {0, 1, 0, 1, 0, 0}, pfNone},
      {"a ramp both ways", {10, 20, 30, 40, 50, 60}, {20, 30, 40, 50, 60, 70}, pfUp},
  };
  for (const Case& c : cases) {
    Row out(c.row.size());
    EXPECT_EQ(FilterRowAdaptively(c.row.data(), c.prior.data(), c.row.size(), 1, out.data()), c.expected) << c.what;
    Row expected(c.row.size());
    FilterRow(c.expected, c.row.data(), c.prior.data(), c.row.size(), 1, expected.data());
    EXPECT_EQ(out, expected) << c.what;
  }
}

// Filtered rows of a page: paper (flat or noisy), as the writer passes them.
std::vector<std::uint8_t> FilteredPage(int noise) {
  const std::size_t width = 600, height = 400;
  std::vector<std::uint8_t> data;
  std::uint32_t seed = 7;
  Row prior(width, 0), row(width), out(width);
  for (std::size_t y = 0; y < height; ++y) {
    for (std::size_t x = 0; x < width; ++x) {
      seed = seed * 1664525u + 1013904223u;
      const int jitter = noise ? static_cast<int>(seed >> 24) % (2 * noise + 1) - noise : 0;
      row[x] = static_cast<std::uint8_t>(230 + jitter - ((x / 7 + y / 11) % 13 == 0 ? 180 : 0));
    }
    data.push_back(FilterRowAdaptively(row.data(), prior.data(), width, 1, out.data()));
    data.insert(data.end(), out.begin(), out.end());
    prior = row;
  }
  return data;
}

TEST(PngDeflate, EachPageGetsTheCompressorThatSuitsIt) {
  struct Case {
    const char* what;
    int noise;
    bool packed;
    TPngDeflate expected;
  };
  const Case cases[] = {
      {"clean paper", 0, false, TPngDeflate::Matches},
      {"a scanner's noise", 6, false, TPngDeflate::RunsOnly},
      {"packed rows", 6, true, TPngDeflate::QuickMatches},
  };
  for (const Case& c : cases) {
    const std::vector<std::uint8_t> page = FilteredPage(c.noise);
    const TPngDeflate method = ChoosePngDeflate(page, 601, c.packed);
    EXPECT_EQ(method, c.expected) << c.what;
    // Whatever the method, the stream is zlib's and gives the rows back.
    for (TPngDeflate any : {TPngDeflate::Matches, TPngDeflate::QuickMatches, TPngDeflate::RunsOnly}) {
      const std::vector<std::uint8_t> stream = PngDeflate(page.data(), page.size(), any);
      EXPECT_EQ(testing::InflateAll(stream, page.size()), page) << c.what << ", method " << int(any);
    }
  }
}

TEST(PngDeflate, TheChosenCompressorIsTheSmallerOnTheSample) {
  for (int noise : {0, 1, 2, 3, 6}) {
    const std::vector<std::uint8_t> page = FilteredPage(noise);
    const TPngDeflate chosen = ChoosePngDeflate(page, 601, false);
    const TPngDeflate other = chosen == TPngDeflate::RunsOnly ? TPngDeflate::Matches : TPngDeflate::RunsOnly;
    EXPECT_LE(PngDeflate(page.data(), page.size(), chosen).size(), PngDeflate(page.data(), page.size(), other).size())
        << "noise " << noise;
  }
}

}  // namespace
}  // namespace pagewell
