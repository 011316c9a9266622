#include "bmp_file.h"

#include <cstdint>
#include <fstream>
#include <vector>

namespace pagewell_scan {

namespace {

void Put16(std::vector<std::uint8_t>& out, std::uint16_t v) {
  out.push_back(static_cast<std::uint8_t>(v));
  out.push_back(static_cast<std::uint8_t>(v >> 8));
}

void Put32(std::vector<std::uint8_t>& out, std::uint32_t v) {
  for (int i = 0; i < 4; ++i) out.push_back(static_cast<std::uint8_t>(v >> (8 * i)));
}

}  // namespace

bool WriteBmpFile(const pagewell::TBMPImage& image, const std::string& path) {
  using pagewell::TRaster;
  const std::uint32_t stride = static_cast<std::uint32_t>(image.RowStride());
  const auto& palette = image.Palette();
  const std::uint32_t tableBytes = 4u * static_cast<std::uint32_t>(palette.size());
  const std::uint32_t pixelOffset = 14 + 40 + tableBytes;
  const std::uint32_t imageBytes = stride * static_cast<std::uint32_t>(image.Height());

  std::vector<std::uint8_t> file;
  file.reserve(pixelOffset + imageBytes);
  file.push_back('B');
  file.push_back('M');
  Put32(file, pixelOffset + imageBytes);
  Put32(file, 0);
  Put32(file, pixelOffset);
  Put32(file, 40);
  Put32(file, static_cast<std::uint32_t>(image.Width()));
  Put32(file, static_cast<std::uint32_t>(image.Height()));
  Put16(file, 1);
  Put16(file, static_cast<std::uint16_t>(image.BitsPerPixel()));
  Put32(file, 0);
  Put32(file, imageBytes);
  Put32(file, static_cast<std::uint32_t>(image.XPelsPerMeter));
  Put32(file, static_cast<std::uint32_t>(image.YPelsPerMeter));
  Put32(file, static_cast<std::uint32_t>(palette.size()));
  Put32(file, 0);
  for (pagewell::TColor c : palette) {
    file.push_back(pagewell::BlueOf(c));
    file.push_back(pagewell::GreenOf(c));
    file.push_back(pagewell::RedOf(c));
    file.push_back(0);
  }
  for (int y = image.Height() - 1; y >= 0; --y) {
    const std::uint8_t* row = image.ScanLine(y);
    file.insert(file.end(), row, row + stride);
  }
  std::ofstream out(path, std::ios::binary);
  out.write(reinterpret_cast<const char*>(file.data()), static_cast<std::streamsize>(file.size()));
  return static_cast<bool>(out);
}

}  // namespace pagewell_scan
