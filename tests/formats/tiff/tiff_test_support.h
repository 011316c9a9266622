#pragma once
// Helpers of the TIFF tests: sample bitmaps, little-endian reads from file
// bytes and directory checks, and decoding files with ImageMagick.
#include <cstdint>
#include <string>
#include <vector>

#include "imaging/raster.h"
#include "support/external_tools.h"

namespace pagewell::tifftest {

// A 1-bit page with index 0 black, index 1 white, showing a pseudo-random
// pattern of rectangles, text-like strokes and noise.
TRaster BlackWhitePage(int width, int height, unsigned seed);
// A page of the given depth with pseudo-random pixels and, for palette
// depths, the given palette.
TRaster RandomRaster(int width, int height, TPixelFormat format, const std::vector<TColor>& palette, unsigned seed);

std::uint16_t U16(const std::vector<std::uint8_t>& b, std::size_t at);
std::uint32_t U32(const std::vector<std::uint8_t>& b, std::size_t at);

// One IFD entry of a little-endian file: type, count and value field.
struct TEntryView {
  std::uint16_t type = 0;
  std::uint32_t count = 0;
  std::uint32_t value = 0;
};
// The entry of `tag` in the directory at `ifd`; fails the test when absent.
TEntryView FindEntry(const std::vector<std::uint8_t>& file, std::uint32_t ifd, std::uint16_t tag);
std::vector<std::uint16_t> EntryTags(const std::vector<std::uint8_t>& file, std::uint32_t ifd);
// The bytes of the single strip of the directory at `ifd`.
std::vector<std::uint8_t> SingleStrip(const std::vector<std::uint8_t>& file, std::uint32_t ifd);

// Temporary folders, files and the peer tools: the shared test helpers.
using testing::HaveTool;
using testing::ReadFileBytes;
using testing::TTempDir;
using testing::WriteFileBytes;

// Runs a shell command; answers its exit status and puts its output (stdout
// and stderr together) in `output` when given. Where the tools cannot run
// (the Windows builds) it answers -1, so the tests that need tools skip.
int RunCommand(const std::string& command, std::string* output = nullptr);

// One IFD entry as a test expects it, and a check of the whole directory at
// `ifd` entry by entry.
struct TExpectedEntry {
  std::uint16_t tag, type;
  std::uint32_t count, value;
};
void ExpectDirectory(const std::vector<std::uint8_t>& file, std::uint32_t ifd,
                     const std::vector<TExpectedEntry>& expected);

// The page as 8-bit red, green, blue per pixel, top row first, as
// ImageMagick (through libtiff) decodes the file's page `page` (0-based).
std::vector<std::uint8_t> DecodeWithImageMagick(const std::string& path, int page = 0);
// The same pixels from our bitmap.
std::vector<std::uint8_t> RGBPixels(const TRaster& raster);

}  // namespace pagewell::tifftest
