// Feeds arbitrary memory blocks to the packed DIB conversion, as a TWAIN
// driver could hand them over: whatever the header claims, the conversion
// reads nothing past the block, allocates no more than the block justifies
// and answers true or false. A converted image must also survive being
// written as a BMP file and read back unchanged.
//
// The first byte picks the conversion options; the rest is the block.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <vector>

#include "formats/bmp/bmp_image.h"
#include "formats/dib/packed_dib.h"
#include "imaging/errors.h"

namespace {

void CheckSurvivesBmpRoundTrip(const pagewell::TBMPImage& image) {
  using namespace pagewell;
  TMemoryStream file;
  image.SaveToStream(file);
  file.Seek(0);
  TBMPImage back;
  back.LoadFromStream(file);
  if (back.Width() != image.Width() || back.Height() != image.Height() ||
      back.PixelFormat() != image.PixelFormat())
    std::abort();
  const std::size_t rowBytes = image.RowBytes();
  for (int y = 0; y < image.Height(); ++y) {
    // Bits past the last pixel of a row are padding; compare whole bytes of
    // pixels only.
    const std::size_t fullBytes = static_cast<std::size_t>(image.Width()) * image.BitsPerPixel() / 8;
    if (std::memcmp(back.ScanLine(y), image.ScanLine(y), fullBytes < rowBytes ? fullBytes : rowBytes) != 0)
      std::abort();
  }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  using namespace pagewell;
  if (size < 1) return 0;
  TDibConversionOptions options;
  options.WhiteFirstTableMeansBlack = data[0] & 1;
  options.FallbackXDpi = (data[0] & 2) ? 300.0 : 0.0;
  options.FallbackYDpi = (data[0] & 4) ? -1.0 : 1.0e300;
  // A copy of exactly the block's size, so that ASan sees any read past it.
  const std::vector<std::uint8_t> block(data + 1, data + size);
  TBMPImage image;
  const bool converted = ConvertPackedDib(block.empty() ? nullptr : block.data(), block.size(), options, image);
  if (!converted) {
    if (!image.Empty()) std::abort();
    return 0;
  }
  CheckSurvivesBmpRoundTrip(image);
  return 0;
}
