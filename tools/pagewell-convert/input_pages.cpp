#include "input_pages.h"

#include <cstring>
#include <fstream>
#include <stdexcept>
#include <utility>

#include "formats/bmp/bmp_image.h"
#include "formats/jpeg/jpeg_image_extra.h"
#include "formats/png/png_chunk.h"
#include "formats/png/png_image.h"
#include "formats/tiff/tiff_pages.h"

namespace pagewell::convert {
namespace {

bool StartsWith(const std::vector<std::uint8_t>& file, const void* magic, std::size_t size) {
  return file.size() >= size && std::memcmp(file.data(), magic, size) == 0;
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

// The whole file in one buffer of its size, read once.
std::vector<std::uint8_t> ReadWholeFile(const std::string& path) {
  std::ifstream in(path, std::ios::binary | std::ios::ate);
  if (!in) throw std::runtime_error("cannot open the file");
  const std::streamoff size = in.tellg();
  if (size < 0) throw std::runtime_error("cannot read the file");
  std::vector<std::uint8_t> file(static_cast<std::size_t>(size));
  in.seekg(0);
  in.read(reinterpret_cast<char*>(file.data()), static_cast<std::streamsize>(file.size()));
  if (!in || in.gcount() != static_cast<std::streamsize>(file.size())) throw std::runtime_error("cannot read the file");
  return file;
}

}  // namespace

// A single-image file moves into the decoder's stream; a TIFF file is
// decoded where it is.
void ForEachPage(std::vector<std::uint8_t> file, const TTakePage& take) {
  if (StartsWith(file, "BM", 2)) return take(ReadBmp(std::move(file)), 1);
  if (StartsWith(file, kPngSignature, sizeof kPngSignature)) return take(ReadPng(std::move(file)), 1);
  if (StartsWith(file, "\xFF\xD8", 2)) return take(ReadJpeg(std::move(file)), 1);
  if (StartsWith(file, "II*\0", 4) || StartsWith(file, "MM\0*", 4)) {
    const int count = CountTiffPages(file);
    for (int i = 1; i <= count; ++i) take(ReadTiffPage(file, i), count);
    return;
  }
  throw std::runtime_error("not a BMP, PNG, JPEG or TIFF file");
}

void ForEachInputPage(const std::string& path, const TTakePage& take) { ForEachPage(ReadWholeFile(path), take); }

std::vector<TluBitmap> DecodePages(const std::vector<std::uint8_t>& file) {
  // A copy: the caller keeps its file.
  std::vector<TluBitmap> pages;
  ForEachPage(file, [&](TluBitmap page, int) { pages.push_back(std::move(page)); });
  return pages;
}

std::vector<TluBitmap> ReadInputPages(const std::string& path) { return DecodePages(ReadWholeFile(path)); }

}  // namespace pagewell::convert
