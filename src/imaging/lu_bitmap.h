#pragma once
// TluBitmap: the one in-memory page image of the system. Every scanned page
// arrives as one, the page list holds one per page, the viewer paints it,
// the editing operations change it in place and the encoders read it. It is
// a raster with a palette and a resolution, extended by a classification of
// its colour content, a background colour, a selection and the metadata
// records that travel with the page to the encoders.
#include <cstdint>
#include <vector>

#include "formats/bmp/bmp_image.h"
#include "formats/jpeg/exif.h"
#include "formats/jpeg/file_info.h"
#include "formats/jpeg/icc_profile.h"
#include "formats/png/alpha.h"
#include "imaging/color.h"
#include "imaging/color_mode.h"

namespace pagewell {

class TluBitmap : public TBMPImage {
 public:
  using TBMPImage::TBMPImage;

  TColorMode ColorMode = cmUnknown;
  // The background colour is written as transparent by GIF and PNG.
  bool Transparent = false;
  // Fill for areas uncovered by crop and pixels outside a shaped selection.
  TColor BackgroundColor = clWhite;
  // width × height bytes, 1 inside the selection; empty when there is none.
  std::vector<std::uint8_t> SelectionMask;
  // 0 no selection, 1 rectangle, 2 shaped (the mask decides).
  std::uint8_t SelectionKind = 0;
  TFileInfo FileInfo;
  bool GifLzw = false;
  // 0 none, 1 PackBits, 2 CCITT Group 4; every colour-mode conversion resets it.
  std::uint8_t TiffCompression = 0;
  TExif Exif;
  bool Progressive = false;
  TICCProfile IccProfile;
  bool EmbedIcc = false;
  TAlpha Alpha;
  // Colour the image is blended onto when the alpha plane is dropped.
  TColor AlphaBackground = clWhite;
  // Alpha given to new areas when the alpha plane is cropped or rotated.
  std::uint8_t AlphaFillValue = 0;
  // Palette index that holds BackgroundColor in palette images.
  std::uint8_t BackgroundIndex = 0;
  // Inclusive bounds of the selection.
  std::int32_t SelectionLeft = 0, SelectionRight = 0, SelectionTop = 0, SelectionBottom = 0;

  // Copies the picture; from a TBMPImage also the resolution (and the colour
  // mode is detected); from a TluBitmap also the page settings and records.
  void Assign(const TRaster& source);

  // Resolution in dots per inch, kept in pixels per metre. The setters keep
  // the Exif resolution tags in step when the page carries Exif tags.
  int XDpi() const;
  int YDpi() const;
  void SetXDpi(int dpi);
  void SetYDpi(int dpi);

  // Normalises the pixel format (32 bits become 24) and classifies the
  // colours; a black-and-white image always ends with index 0 black.
  void DetectColorMode();
  // ConvertColorMode(mode, 2, 128); does nothing for cmUnknown.
  void SetColorMode(TColorMode mode);
  // Converts pixels and palette to the mode. Method 0 thresholds at
  // `threshold`, method 1 at the mean brightness, any other at 127.
  void ConvertColorMode(TColorMode mode, int method, int threshold);
  bool IsGrayPalette() const;

  int PaletteSize() const { return PaletteEntryCount(PixelFormat()); }
  int FindPaletteIndex(TColor color) const;
  int FindUnusedPaletteIndex(int start) const;
  // Changes one entry; every pixel keeps its index.
  void SetPaletteEntry(int index, TColor color);
  bool CopyPaletteFrom(const TluBitmap& other);
  // After a colour reduction: every pixel of `source` whose exact colour is
  // one of the first `count` table entries gets that entry's index.
  void RemapToPalette(const TRaster& source, const std::vector<TColor>& table, int bits, int count);
  void SetBackgroundColor(TColor color);

  bool HasAlpha() const;
  // Drops the transparency, blending an alpha plane onto AlphaBackground.
  void FlattenAlpha();

 private:
  void UpdateExifResolution();
  void ConvertToPalette(const TRaster& copy, int maxColors, int colorBits, TPixelFormat format);
  void ConvertToGray256();
  void ConvertToGray16();
  void ConvertOneBitToPalette16(const TRaster& copy);
  void ConvertToTwoColors(TColorMode mode, int method, int threshold);
};

}  // namespace pagewell
