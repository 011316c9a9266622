// Replays the JPEG reader's fuzzing corpus (the seeds and every input the
// fuzzer kept) through the fuzz target, so that inputs which once crashed
// stay fixed in the ordinary test run.
#include <gtest/gtest.h>

#include <filesystem>

#include "support/external_tools.h"
#include "formats/jpeg/jpeg_image_extra.h"

#include "../../../fuzz/jpeg_reader_fuzzer.cpp"

namespace pagewell {
namespace {

const std::filesystem::path kCorpus = std::filesystem::path(PAGEWELL_SOURCE_DIR) / "fuzz" / "corpus" / "jpeg_reader";

TEST(JpegReaderCorpus, EveryInputIsReadWithoutCrashing) {
  std::size_t count = 0;
  for (const auto& entry : std::filesystem::directory_iterator(kCorpus)) {
    const auto bytes = testing::ReadFileBytes(entry.path().string());
    LLVMFuzzerTestOneInput(bytes.data(), bytes.size());
    ++count;
  }
  EXPECT_GE(count, 8u);
}

TEST(JpegReaderCorpus, CmykFileFromImageMagickDecodesToItsColours) {
  TMemoryStream stream(testing::ReadFileBytes((kCorpus / "cmyk.jpg").string()));
  TJPEGImageExtra jpeg;
  jpeg.LoadFromStream(stream);
  EXPECT_EQ(jpeg.ColorSpaceCode, jcCMYK);
  TluBitmap bitmap;
  jpeg.DecodeTo(bitmap);
  // The gradient runs from red at the top to blue at the bottom.
  const TColor top = bitmap.PixelColor(6, 0), bottom = bitmap.PixelColor(6, 9);
  EXPECT_GT(RedOf(top), 200);
  EXPECT_LT(BlueOf(top), 60);
  EXPECT_GT(BlueOf(bottom), 200);
  EXPECT_LT(RedOf(bottom), 60);
}

}  // namespace
}  // namespace pagewell
