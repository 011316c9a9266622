// Replays the PNG reader's fuzz corpus: every file, as it stands and with
// its chunk CRCs recomputed, must load or fail with an invalid-graphic or
// raster error.
#include <gtest/gtest.h>

#include <filesystem>

#include "formats/png/png_image.h"
#include "formats/png/png_test_support.h"
#include "imaging/errors.h"
#include "support/codec_checks.h"

namespace pagewell {
namespace {

void LoadExpectingNoCrash(std::vector<std::uint8_t> bytes) {
  TMemoryStream stream(std::move(bytes));
  ToxPNGImage png;
  try {
    png.LoadFromStream(stream);
  } catch (const EInvalidGraphic&) {
  } catch (const ERasterError&) {
  }
}

TEST(PngFuzzCorpus, EveryFileLoadsOrFailsCleanly) {
  const std::filesystem::path corpus = std::filesystem::path(PAGEWELL_SOURCE_DIR) / "fuzz" / "corpus" / "png_reader";
  ASSERT_TRUE(std::filesystem::is_directory(corpus));
  int files = 0;
  for (const auto& entry : std::filesystem::directory_iterator(corpus)) {
    if (!entry.is_regular_file()) continue;
    SCOPED_TRACE(entry.path().filename().string());
    auto bytes = testing::ReadFileBytes(entry.path().string());
    LoadExpectingNoCrash(bytes);
    testing::FixChunkCrcs(bytes);
    LoadExpectingNoCrash(bytes);
    ++files;
  }
  EXPECT_GT(files, 0);
}

}  // namespace
}  // namespace pagewell
