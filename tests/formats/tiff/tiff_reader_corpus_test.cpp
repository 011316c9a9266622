// Replays the fuzz corpus of the TIFF reader: every file must load and
// decode or fail with an EInvalidGraphic, never crash.
#include <gtest/gtest.h>

#include <filesystem>

#include "formats/tiff/tif_image.h"
#include "formats/tiff/tiff_directory_reader.h"
#include "imaging/errors.h"
#include "tiff_test_support.h"

namespace pagewell {
namespace {

TEST(TIFReaderCorpus, EveryFileReadsOrFailsCleanly) {
  const std::filesystem::path corpus = std::filesystem::path(PAGEWELL_SOURCE_DIR) / "fuzz/corpus/tiff_reader";
  ASSERT_TRUE(std::filesystem::is_directory(corpus));
  int files = 0, decoded = 0;
  for (const auto& entry : std::filesystem::directory_iterator(corpus)) {
    SCOPED_TRACE(entry.path().filename().string());
    const auto file = tifftest::ReadFileBytes(entry.path().string());
    ++files;
    for (std::uint32_t page = 1; page <= 4; ++page) {
      try {
        TTIFImage tif;
        tif.PageToRead = page;
        tif.LoadFromBytes(file);
        TRaster raster;
        tif.AssignTo(raster);
        ++decoded;
      } catch (const EInvalidGraphic&) {
      }
    }
  }
  EXPECT_GT(files, 20);
  EXPECT_GT(decoded, 20);
}

// The seed files are real files from libtiff and ImageMagick: each must decode.
TEST(TIFReaderCorpus, SeedFilesDecode) {
  const std::filesystem::path corpus = std::filesystem::path(PAGEWELL_SOURCE_DIR) / "fuzz/corpus/tiff_reader";
  for (const auto& entry : std::filesystem::directory_iterator(corpus)) {
    if (entry.path().filename().string().rfind("seed_", 0) != 0) continue;
    SCOPED_TRACE(entry.path().filename().string());
    const auto file = tifftest::ReadFileBytes(entry.path().string());
    for (int page = 1; page <= CountTiffPages(file); ++page) {
      TTIFImage tif;
      tif.PageToRead = static_cast<std::uint32_t>(page);
      tif.LoadFromBytes(file);
      TRaster raster;
      EXPECT_NO_THROW(tif.AssignTo(raster));
    }
  }
}

}  // namespace
}  // namespace pagewell
