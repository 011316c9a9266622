#include "input_pages.h"

#include <cstring>
#include <stdexcept>
#include <utility>

#include "formats/bmp/bmp_image.h"
#include "formats/jpeg/jpeg_image_extra.h"
#include "formats/png/png_chunk.h"
#include "formats/png/png_image.h"
#include "formats/tiff/tiff_pages.h"
#include "mapped_file.h"

namespace pagewell::convert {
namespace {

bool StartsWith(const std::uint8_t* bytes, std::size_t size, const void* magic, std::size_t magicSize) {
  return size >= magicSize && std::memcmp(bytes, magic, magicSize) == 0;
}
bool StartsWith(const std::vector<std::uint8_t>& file, const void* magic, std::size_t size) {
  return StartsWith(file.data(), file.size(), magic, size);
}

TluBitmap ReadBmp(std::vector<std::uint8_t> file) {
  TMemoryStream stream(std::move(file));
  TBMPImage bmp;
  bmp.LoadFromStream(stream);
  // The picture and its resolution move over; the scan is not needed again.
  TluBitmap page;
  static_cast<TBMPImage&>(page) = std::move(bmp);
  page.DetectColorMode();
  return page;
}

TluBitmap ReadPng(std::vector<std::uint8_t> file) {
  TMemoryStream stream(std::move(file));
  ToxPNGImage png;
  png.LoadFromStream(stream);
  TluBitmap page;
  static_cast<TRaster&>(page) = std::move(png.Bitmap);
  page.XPelsPerMeter = png.XPelsPerMeter;
  page.YPelsPerMeter = png.YPelsPerMeter;
  page.DetectColorMode();
  page.Alpha = png.Alpha;  // kept for PNG output, blended away for the others
  return page;
}

TluBitmap ReadJpeg(std::vector<std::uint8_t> file) {
  TMemoryStream stream(std::move(file));
  TJPEGImageExtra jpeg;
  jpeg.LoadFromStream(stream);
  TluBitmap page;
  jpeg.DecodeTo(page);
  page.DetectColorMode();
  return page;
}

bool IsTiff(const std::uint8_t* bytes, std::size_t size) {
  return StartsWith(bytes, size, "II*\0", 4) || StartsWith(bytes, size, "MM\0*", 4);
}

// Every page of a TIFF file, decoded where the file lies; the memory of
// the file read so far is given back after each page is taken.
void ForEachTiffPage(const TMappedFile& file, const TTakePage& take) {
  const TTiffFileBytes bytes(file.Data(), file.Size());
  const int count = CountTiffPages(bytes);
  for (int i = 1; i <= count; ++i) {
    take(ReadTiffPage(bytes, i), count);
    file.ReleaseResidentPages();
  }
}

// A single-image file moves into its decoder's stream.
void TakeSingleImage(std::vector<std::uint8_t> file, const TTakePage& take) {
  if (StartsWith(file, "BM", 2)) return take(ReadBmp(std::move(file)), 1);
  if (StartsWith(file, kPngSignature, sizeof kPngSignature)) return take(ReadPng(std::move(file)), 1);
  if (StartsWith(file, "\xFF\xD8", 2)) return take(ReadJpeg(std::move(file)), 1);
  throw std::runtime_error("not a BMP, PNG, JPEG or TIFF file");
}

}  // namespace

// A TIFF file is decoded straight from its mapping; any other file is a
// single image that its decoder reads from a buffer of its own.
void ForEachInputPage(const std::string& path, const TTakePage& take) {
  const TMappedFile file(path);
  if (IsTiff(file.Data(), file.Size())) return ForEachTiffPage(file, take);
  TakeSingleImage(std::vector<std::uint8_t>(file.Data(), file.Data() + file.Size()), take);
}

std::vector<TluBitmap> ReadInputPages(const std::string& path) {
  std::vector<TluBitmap> pages;
  ForEachInputPage(path, [&](TluBitmap page, int) { pages.push_back(std::move(page)); });
  return pages;
}

}  // namespace pagewell::convert
