#include "formats/tiff/tiff_pages.h"

#include <utility>

#include "formats/tiff/tiff_page_decoder.h"

namespace pagewell {
// Decoded straight from the caller's file: the page is only read, so the
// file is not copied into a page object first.
TluBitmap ReadTiffPage(TTiffFileBytes file, int page) {
  TTiffMetadata metadata;
  const TTiffPageLayout layout = ReadTiffPageLayout(file, page < 1 ? 1 : static_cast<std::uint32_t>(page), metadata);
  TluBitmap bitmap;
  static_cast<TRaster&>(bitmap) = DecodeTiffPage(layout, file, true);
  bitmap.Exif = std::move(metadata.exif);
  bitmap.IccProfile = std::move(metadata.iccProfile);
  bitmap.FileInfo = std::move(metadata.fileInfo);
  bitmap.SetXDpi(TiffDotsPerInch(layout.xResolution, layout.resolutionUnit));
  bitmap.SetYDpi(TiffDotsPerInch(layout.yResolution, layout.resolutionUnit));
  bitmap.DetectColorMode();
  return bitmap;
}

std::uint16_t MultiPageCompressionFor(const TluBitmap& page) {
  return page.ColorMode == cmBlackWhite ? tiff::compCCITTGroup4 : tiff::compNone;
}

std::unique_ptr<TTIFImage> MakeTiffPage(const TluBitmap& page, std::uint16_t compression) {
  auto tif = std::make_unique<TTIFImage>();
  tif->Compression = compression;
  tif->Assign(page);
  tif->XDpi = page.XDpi();
  tif->YDpi = page.YDpi();
  return tif;
}

}  // namespace pagewell
