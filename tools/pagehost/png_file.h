#pragma once
// Writes a 24-bit top-down BGR raster as a PNG file.
#include <cstdint>
#include <string>
#include <vector>

namespace pagehost {

bool writePng(const std::wstring& path, int width, int height, const std::vector<uint8_t>& bgrRows,
              int stride);

}  // namespace pagehost
