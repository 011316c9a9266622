// Feeds arbitrary bytes to the JPEG reader: header, segment walk (Exif,
// Photoshop resources, ICC chunks, quantisation tables), pixel decoding of
// modest sizes, and writing the loaded image with its metadata again.
// Errors must come out as exceptions of the codec, never as crashes.
#include <cstddef>
#include <cstdint>
#include <vector>

#include "formats/jpeg/jpeg_image_extra.h"
#include "imaging/errors.h"

namespace {

// Decoding cost grows with the declared size, not the file size.
constexpr std::uint64_t kMaxFuzzPixels = 1 << 20;

void ReadJpeg(const std::uint8_t* data, std::size_t size) {
  using namespace pagewell;
  TMemoryStream stream(std::vector<std::uint8_t>(data, data + size));
  TJPEGImageExtra jpeg;
  jpeg.EmbedIccProfile = true;
  jpeg.LoadFromStream(stream);
  if (static_cast<std::uint64_t>(jpeg.Width()) * static_cast<std::uint64_t>(jpeg.Height()) <= kMaxFuzzPixels) {
    TluBitmap bitmap;
    jpeg.DecodeTo(bitmap);
    jpeg.PixelFormat = TJPEGPixelFormat::jf8Bit;
    jpeg.Scale = TJPEGScale::jsQuarter;
    jpeg.DecodeTo(bitmap);
  }
  jpeg.FileInfo.Changed = true;
  TMemoryStream saved;
  jpeg.SaveToStream(saved);
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  try {
    ReadJpeg(data, size);
  } catch (const pagewell::EInvalidGraphic&) {
  } catch (const pagewell::ERasterError&) {
  }
  return 0;
}
