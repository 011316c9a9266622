#include "formats/gif/rle_encoder.h"

#include <gtest/gtest.h>

#include <random>

#include "formats/gif/gif_image.h"
#include "gif_test_decoder.h"

namespace pagewell {
namespace {

struct TRecordedCode {
  unsigned code, width;
};

class TRecordingWriter : public TGIFCodeWriter {
 public:
  void WriteCode(unsigned code, unsigned width) override { codes.push_back({code, width}); }
  std::vector<unsigned> Codes() const {
    std::vector<unsigned> values;
    for (const auto& c : codes) values.push_back(c.code);
    return values;
  }
  std::vector<TRecordedCode> codes;
};

std::vector<unsigned> EncodeCodes(int minCodeSize, const std::vector<std::uint8_t>& pixels) {
  TRecordingWriter writer;
  TRLEEncoder(minCodeSize, writer).Encode(pixels.data(), pixels.size());
  return writer.Codes();
}

TEST(RleEncoder, LongRunAfterClearBuildsUpRunCodes) {
  // Runs of 1, 2, ..., 44 pixels cover 990; the last 10 pixels take the
  // code for a run of 10. Back under the normal clear limit (9 codes for
  // S = 2) the encoder clears before the end code.
  std::vector<unsigned> expected = {4, 1};
  for (unsigned k = 2; k <= 44; ++k) expected.push_back(6 + k - 2);
  expected.push_back(6 + 10 - 2);
  expected.push_back(4);
  expected.push_back(5);
  EXPECT_EQ(EncodeCodes(2, std::vector<std::uint8_t>(1000, 1)), expected);
}

TEST(RleEncoder, PlainCodesForceAClearOnTime) {
  std::vector<std::uint8_t> pixels;
  for (int i = 0; i < 300; ++i) pixels.push_back(static_cast<std::uint8_t>(i % 4));
  const auto small = EncodeCodes(2, pixels);  // S = 2: a clear after 9 codes
  EXPECT_EQ(std::vector<unsigned>(small.begin(), small.begin() + 11), (std::vector<unsigned>{4, 0, 1, 2, 3, 0, 1, 2, 3, 0, 4}));

  const auto large = EncodeCodes(8, pixels);  // S = 8: a clear after clear - 2 = 254 codes
  EXPECT_EQ(large[0], 256u);
  EXPECT_EQ(large[255], 256u);
  for (int i = 1; i < 255; ++i) EXPECT_LT(large[i], 256u);
}

TEST(RleEncoder, CodeWidthStartsAtMinimumCodeSizePlusOneAndNeverPasses12) {
  TRecordingWriter writer;
  const std::vector<std::uint8_t> run(200000, 3);
  TRLEEncoder(4, writer).Encode(run.data(), run.size());
  EXPECT_EQ(writer.codes.front().width, 5u);
  for (const auto& c : writer.codes) EXPECT_LE(c.width, 12u);
}

TEST(RleEncoder, TriangleCountIsTheShortestBuildUp) {
  EXPECT_EQ(TRLEEncoder::TriangleCount(1, 4000), 1u);
  EXPECT_EQ(TRLEEncoder::TriangleCount(3, 4000), 2u);   // 1 + 2
  EXPECT_EQ(TRLEEncoder::TriangleCount(4, 4000), 3u);   // 1 + 2 + 1
  EXPECT_EQ(TRLEEncoder::TriangleCount(1000, 4000), 45u);
  EXPECT_EQ(TRLEEncoder::TriangleCount(10 * 11 / 2 * 3 + 1, 10), 31u);  // three full budgets and one code
}

// Pictures of every kind of run; each must decode to itself.
std::vector<std::uint8_t> Pattern(const std::string& kind, int colours, std::size_t count, unsigned seed) {
  std::mt19937 random(seed);
  std::vector<std::uint8_t> pixels;
  while (pixels.size() < count) {
    std::size_t run = 1;
    if (kind == "runs") run = 1 + random() % 300;
    if (kind == "short_runs") run = 1 + random() % 6;
    if (kind == "one_colour_runs") run = 1 + random() % 5000;
    const auto value = static_cast<std::uint8_t>(kind == "one_colour_runs" ? (pixels.size() % 3 == 0 ? 0 : random() % colours)
                                                                            : random() % colours);
    pixels.insert(pixels.end(), std::min(run, count - pixels.size()), value);
  }
  return pixels;
}

class RleRoundTrip : public ::testing::TestWithParam<std::tuple<int, std::string>> {};

TEST_P(RleRoundTrip, DecoderGetsEveryPixelBack) {
  const auto [bits, kind] = GetParam();
  const int colours = 1 << bits;
  const auto pixels = Pattern(kind, colours, 150000, static_cast<unsigned>(bits * 31 + kind.size()));
  TRaster bitmap(500, 300, bits == 1 ? TPixelFormat::pf1bit : bits <= 4 ? TPixelFormat::pf4bit : TPixelFormat::pf8bit);
  std::vector<TColor> palette;
  for (int i = 0; i < colours; ++i) palette.push_back(RGBColor(i, 255 - i, i * 7));
  bitmap.SetPaletteKeepingIndices(palette);
  for (int y = 0; y < 300; ++y)
    for (int x = 0; x < 500; ++x) bitmap.SetPixelIndex(x, y, pixels[y * 500 + x] & (colours - 1));
  TGIFImage gif;
  gif.Assign(bitmap);
  TMemoryStream stream;
  gif.SaveToStream(stream);
  const auto decoded = testing::DecodeGif(stream.Bytes());
  EXPECT_EQ(decoded.indices, gif.Images.front().Pixels);
}

INSTANTIATE_TEST_SUITE_P(Patterns, RleRoundTrip,
                         ::testing::Combine(::testing::Values(1, 4, 8),
                                            ::testing::Values("noise", "runs", "short_runs", "one_colour_runs")),
                         [](const auto& info) {
                           return std::get<1>(info.param) + "_" + std::to_string(std::get<0>(info.param)) + "bit";
                         });

TEST(RleEncoder, RunLongerThanOneFullTableSurvives) {
  // S = 8: one build-up holds at most 3837 codes, 7 363 203 pixels; this
  // run needs a clear in the middle of the build-up.
  TRaster bitmap(3000, 2600, TPixelFormat::pf8bit);
  bitmap.FillRect(0, 0, 3000, 2600, bitmap.Palette()[17]);
  bitmap.FillRect(100, 2599, 200, 2600, bitmap.Palette()[18]);
  TGIFImage gif;
  gif.Assign(bitmap);
  TMemoryStream stream;
  gif.SaveToStream(stream);
  const auto decoded = testing::DecodeGif(stream.Bytes());
  EXPECT_EQ(decoded.indices, gif.Images.front().Pixels);
  EXPECT_LT(stream.Size(), 30000u) << "a page of one colour must stay small";
}

}  // namespace
}  // namespace pagewell
