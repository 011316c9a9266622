#include "input_pages.h"

#include <cstring>
#include <fstream>
#include <iterator>
#include <stdexcept>

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

TluBitmap ReadBmp(const std::vector<std::uint8_t>& file) {
  TMemoryStream stream(file);
  TBMPImage bmp;
  bmp.LoadFromStream(stream);
  TluBitmap page;
  page.Assign(bmp);  // resolution and colour mode come along
  return page;
}

TluBitmap ReadPng(const std::vector<std::uint8_t>& file) {
  TMemoryStream stream(file);
  ToxPNGImage png;
  png.LoadFromStream(stream);
  TluBitmap page;
  page.Assign(png.Bitmap);
  page.XPelsPerMeter = png.XPelsPerMeter;
  page.YPelsPerMeter = png.YPelsPerMeter;
  page.DetectColorMode();
  page.Alpha = png.Alpha;  // kept for PNG output, blended away for the others
  return page;
}

TluBitmap ReadJpeg(const std::vector<std::uint8_t>& file) {
  TMemoryStream stream(file);
  TJPEGImageExtra jpeg;
  jpeg.LoadFromStream(stream);
  TluBitmap page;
  jpeg.DecodeTo(page);
  page.DetectColorMode();
  return page;
}

std::vector<TluBitmap> ReadTiff(const std::vector<std::uint8_t>& file) {
  std::vector<TluBitmap> pages;
  const int count = CountTiffPages(file);
  for (int i = 1; i <= count; ++i) pages.push_back(ReadTiffPage(file, i));
  return pages;
}

}  // namespace

std::vector<TluBitmap> DecodePages(const std::vector<std::uint8_t>& file) {
  if (StartsWith(file, "BM", 2)) return {ReadBmp(file)};
  if (StartsWith(file, kPngSignature, sizeof kPngSignature)) return {ReadPng(file)};
  if (StartsWith(file, "\xFF\xD8", 2)) return {ReadJpeg(file)};
  if (StartsWith(file, "II*\0", 4) || StartsWith(file, "MM\0*", 4)) return ReadTiff(file);
  throw std::runtime_error("not a BMP, PNG, JPEG or TIFF file");
}

std::vector<TluBitmap> ReadInputPages(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  if (!in) throw std::runtime_error("cannot open the file");
  const std::vector<std::uint8_t> file((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
  if (in.bad()) throw std::runtime_error("cannot read the file");
  return DecodePages(file);
}

}  // namespace pagewell::convert
