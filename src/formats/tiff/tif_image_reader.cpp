// TTIFImage::LoadFromStream and AssignTo: reading one page of a TIFF file.
#include <cmath>

#include "formats/tiff/tif_image.h"
#include "formats/tiff/tiff_directory_reader.h"
#include "formats/tiff/tiff_errors.h"
#include "formats/tiff/tiff_page_decoder.h"

namespace pagewell {

std::int32_t TiffDotsPerInch(double resolution, std::uint16_t unit) {
  const double dpi = unit == 3 ? resolution * 2.54 : resolution;
  return dpi > 0 && dpi < 1e9 ? static_cast<std::int32_t>(std::lround(dpi)) : 0;
}

void TTIFImage::LoadFromStream(TMemoryStream& stream) {
  std::vector<std::uint8_t> file(stream.Size() > stream.Position() ? stream.Size() - stream.Position() : 0);
  stream.ReadSome(file.data(), file.size());
  LoadFromBytes(std::move(file));
}

void TTIFImage::LoadFromBytes(std::vector<std::uint8_t> file) {
  TTiffMetadata metadata;
  TTiffPageLayout layout = ReadTiffPageLayout(file, PageToRead, metadata);
  // Nothing above changed this page; from here on nothing can fail.
  layout_ = std::move(layout);
  file_ = std::move(file);
  Compression = layout_.compression;
  Photometric = layout_.photometric;
  SamplesPerPixel = layout_.samplesPerPixel;
  BitsPerSample = layout_.bitsPerSample;
  FillOrder = layout_.fillOrder;
  ImageWidth = layout_.width;
  ImageLength = layout_.length;
  RowsPerStrip = layout_.rowsPerStrip;
  XDpi = TiffDotsPerInch(layout_.xResolution, layout_.resolutionUnit);
  YDpi = TiffDotsPerInch(layout_.yResolution, layout_.resolutionUnit);
  FileInfo = std::move(metadata.fileInfo);
  Exif = std::move(metadata.exif);
  IccProfile = std::move(metadata.iccProfile);
  colorMap_ = layout_.colorMap;
  strip_.clear();
}

void TTIFImage::AssignTo(TRaster& raster) const {
  if (file_.empty()) throw EInvalidGraphic(tiffmsg::kNotTiff);
  raster = DecodeTiffPage(layout_, file_, LzwReadingEnabled);
}

}  // namespace pagewell
