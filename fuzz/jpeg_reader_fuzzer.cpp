// Feeds arbitrary bytes to the JPEG reader: header, segment walk (Exif,
// Photoshop resources, ICC chunks, quantisation tables), pixel decoding of
// modest sizes, and writing the loaded image with its metadata again.
// Errors must come out as exceptions of the codec, never as crashes.
#include <cstddef>
#include <cstdint>
#include <vector>

#include "formats/metadata/bim_segment.h"
#include "formats/jpeg/icc_chunks.h"
#include "formats/jpeg/jpeg_errors.h"
#include "formats/jpeg/jpeg_image_extra.h"
#include "formats/jpeg/jpeg_quality_estimate.h"
#include "formats/jpeg/jpeg_segments.h"
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

// Our own segment parsers see every segment, also of files the library
// refuses, so that they are fuzzed without getting past the library first.
void ParseSegments(const std::uint8_t* data, std::size_t size) {
  using namespace pagewell;
  TICCChunkCollector icc;
  TJpegQualityEstimate quality;
  for (const auto& segment : SegmentsBeforeScan(data, size)) {
    const std::vector<std::uint8_t> payload(segment.Payload, segment.Payload + segment.Size);
    icc.Add(payload.data(), payload.size());
    quality.AddTables(payload.data(), payload.size());
    TFileInfo info;
    info.LoadFromResources(LoadPhotoshopResources(payload.data(), payload.size()));
    TExif exif;
    try {
      exif.LoadFromBytes(payload.data(), payload.size());
      exif.SaveToBytes();
    } catch (const EExifError&) {
    }
  }
  icc.Profile();
  quality.Quality();
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  ParseSegments(data, size);
  try {
    ReadJpeg(data, size);
  } catch (const pagewell::EInvalidGraphic&) {
  } catch (const pagewell::ERasterError&) {
  }
  return 0;
}
