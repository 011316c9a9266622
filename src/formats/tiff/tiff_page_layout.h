#pragma once
// TTiffPageLayout: what the directory of one page says about its pixels,
// after defaults, as the decoder needs it.
#include <cstddef>
#include <cstdint>
#include <vector>

namespace pagewell {

struct TTiffStrip {
  std::size_t offset = 0;
  std::size_t size = 0;  // already limited to what the file holds after the offset
};

struct TTiffPageLayout {
  bool bigEndian = false;
  std::uint32_t width = 0;
  std::uint32_t length = 0;
  std::uint16_t compression = 1;
  std::uint16_t photometric = 0;
  std::uint16_t samplesPerPixel = 1;
  std::vector<std::uint16_t> bitsPerSample{1};  // one value per sample
  std::uint16_t fillOrder = 1;
  std::uint16_t planarConfiguration = 1;
  std::uint16_t predictor = 1;
  std::uint16_t resolutionUnit = 2;
  std::uint16_t inkSet = 1;
  std::uint16_t numberOfInks = 4;
  std::uint32_t rowsPerStrip = 0xFFFFFFFFu;
  std::uint32_t t4Options = 0;
  double xResolution = 0;
  double yResolution = 0;
  std::vector<std::uint16_t> colorMap;
  std::vector<TTiffStrip> strips;
};

// Dots per inch from a resolution in the page's unit (3: centimetres); 0
// for a resolution that is missing or out of range.
std::int32_t TiffDotsPerInch(double resolution, std::uint16_t unit);

}  // namespace pagewell
