#include "formats/jpeg/jpeg_compression.h"

#include "formats/jpeg/jpeg_library.h"

namespace pagewell {
namespace {

// The rows of a contiguous buffer, top to bottom.
std::vector<JSAMPROW> RowPointers(std::uint8_t* first, std::size_t stride, int height) {
  std::vector<JSAMPROW> rows(static_cast<std::size_t>(height));
  for (int y = 0; y < height; ++y) rows[static_cast<std::size_t>(y)] = first + static_cast<std::size_t>(y) * stride;
  return rows;
}

// Gray input: one byte per pixel, the integer mean of the pixel's blue,
// green and red after conversion to 24 bits. Palette images go through a
// table of their entries' means.
std::vector<std::uint8_t> GrayRows(const TRaster& raster) {
  const auto width = static_cast<std::size_t>(raster.Width());
  std::vector<std::uint8_t> gray(width * static_cast<std::size_t>(raster.Height()));
  std::vector<std::uint8_t> bgr(width * 3);
  for (int y = 0; y < raster.Height(); ++y) {
    raster.DecodeRowBGR(y, bgr.data());
    std::uint8_t* out = gray.data() + static_cast<std::size_t>(y) * width;
    for (std::size_t x = 0; x < width; ++x) {
      out[x] = static_cast<std::uint8_t>((bgr[3 * x] + bgr[3 * x + 1] + bgr[3 * x + 2]) / 3);
    }
  }
  return gray;
}

// Colour input in the order the library build expects: libjpeg-turbo takes
// our blue-green-red rows as they are; a plain libjpeg wants red first.
#ifdef JCS_EXTENSIONS
constexpr J_COLOR_SPACE kBitmapColorSpace = JCS_EXT_BGR;
#else
constexpr J_COLOR_SPACE kBitmapColorSpace = JCS_RGB;
#endif

std::vector<std::uint8_t> ColorRows(const TRaster& raster) {
  const std::size_t rowBytes = static_cast<std::size_t>(raster.Width()) * 3;
  std::vector<std::uint8_t> rows(rowBytes * static_cast<std::size_t>(raster.Height()));
  for (int y = 0; y < raster.Height(); ++y) {
    std::uint8_t* row = rows.data() + static_cast<std::size_t>(y) * rowBytes;
    raster.DecodeRowBGR(y, row);
    if (kBitmapColorSpace == JCS_RGB) {
      for (std::size_t x = 0; x < rowBytes; x += 3) std::swap(row[x], row[x + 2]);
    }
  }
  return rows;
}

void DescribeInput(jpeg_compress_struct& info, const TRaster& raster, bool grayscale) {
  info.image_width = static_cast<JDIMENSION>(raster.Width());
  info.image_height = static_cast<JDIMENSION>(raster.Height());
  info.input_components = grayscale ? 1 : 3;
  info.in_color_space = grayscale ? JCS_GRAYSCALE : kBitmapColorSpace;
}

}  // namespace

std::vector<std::uint8_t> CompressRaster(const TRaster& raster, const TJpegCompressionSettings& settings) {
  std::vector<std::uint8_t> output;
  if (raster.Empty()) return output;

  // "Apply the library defaults; then DCT method := floating point; quality
  // with force-baseline; gray colour space; simple progression."
  jpeg::TCompression compression(output);
  DescribeInput(compression.Info(), raster, settings.Grayscale);
  compression.SetDefaults();
  compression.Info().dct_method = JDCT_FLOAT;
  compression.SetQuality(settings.Quality, true);
  if (settings.Grayscale) compression.SetColorSpace(JCS_GRAYSCALE);
  if (settings.Progressive) compression.SimpleProgression();

  // "Start compression with all tables written; feed the rows top to
  // bottom, all rows in one call when possible; finish compression."
  compression.Start(true);
  const bool bitmapRowsFit = !settings.Grayscale && raster.PixelFormat() == TPixelFormat::pf24bit &&
                             kBitmapColorSpace != JCS_RGB;
  if (bitmapRowsFit) {
    // The library only reads the rows, whatever its prototype says.
    auto* first = const_cast<std::uint8_t*>(raster.ScanLine(0));
    auto rows = RowPointers(first, raster.RowStride(), raster.Height());
    compression.WriteRows(rows.data(), static_cast<JDIMENSION>(rows.size()));
  } else {
    const std::size_t componentCount = settings.Grayscale ? 1 : 3;
    auto pixels = settings.Grayscale ? GrayRows(raster) : ColorRows(raster);
    auto rows = RowPointers(pixels.data(), static_cast<std::size_t>(raster.Width()) * componentCount, raster.Height());
    compression.WriteRows(rows.data(), static_cast<JDIMENSION>(rows.size()));
  }
  compression.Finish();
  return output;
}

}  // namespace pagewell
