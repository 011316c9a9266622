#include "formats/tiff/tiff_pages.h"

namespace pagewell {
TluBitmap ReadTiffPage(const std::vector<std::uint8_t>& file, int page) {
  TTIFImage tif;
  tif.PageToRead = page < 1 ? 1 : static_cast<std::uint32_t>(page);
  tif.LoadFromBytes(file);
  TluBitmap bitmap;
  tif.AssignTo(bitmap);
  bitmap.Exif = tif.Exif;
  bitmap.IccProfile = tif.IccProfile;
  bitmap.FileInfo = tif.FileInfo;
  bitmap.SetXDpi(tif.XDpi);
  bitmap.SetYDpi(tif.YDpi);
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
