#pragma once
// TluBitmap: the one in-memory page image of the system. Every scanned page
// arrives as one, the page list holds one per page, the viewer paints it,
// the editing operations change it in place and the encoders read it. It is
// a raster with a palette and a resolution, extended by a classification of
// its colour content, a background colour, a selection and the metadata
// records that travel with the page to the encoders.
#include <cstdint>
#include <string>
#include <vector>

#include "imaging/alpha.h"
#include "imaging/bmp_image.h"
#include "imaging/color.h"
#include "imaging/color_mode.h"
#include "imaging/exif.h"
#include "imaging/file_info.h"
#include "imaging/icc_profile.h"
#include "imaging/text_renderer.h"

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

  // Writes the page as one file of the format `formatCode` (TFormatCode:
  // 0 BMP ... 8 PDF) to the stream; codes 9 and above write nothing.
  // `quality` is the JPEG quality (1 to 100); the four texts are the PDF
  // document information. Every format but PNG drops the transparency
  // first; TIFF with TiffCompression 2 turns the page black-and-white.
  // The encoders are the formats' business: this member is defined with
  // them (formats/save_to_stream_as.cpp), so the bitmap needs none of them.
  void SaveToStreamAs(TMemoryStream& stream, int formatCode, int quality, const std::string& title,
                      const std::string& subject, const std::string& author, const std::string& keywords);

  // ---- Image operations ------------------------------------------------
  // Editing operations that change the page in place, one file each under
  // imaging/. They work on 1, 4, 8 and 24-bit pages; other formats are left
  // as they are. Positions are pixels from the top-left corner, rectangles
  // are inclusive. Flip, Rotate and Crop change an alpha plane the same way
  // and end by clearing the selection.

  // 0 mirrors left-right, 1 turns upside down; other values do nothing.
  void Flip(int direction);
  // Degrees, counter-clockwise. 90, 180 and 270 move pixels exactly (and
  // exchange the resolutions for 90 and 270); other angles grow the canvas
  // and fill the uncovered corners with `fill`. `smooth` interpolates
  // 24-bit pages bilinearly; the others always take the nearest pixel.
  void Rotate(bool smooth, TColor fill, double angle);
  // Cuts out the rectangle; parts outside the page become BackgroundColor.
  // Refused (only the selection is cleared) unless right > left,
  // bottom > top and the corner (left, top) lies before the page's end.
  void Crop(int left, int top, int right, int bottom);
  // A rectangular selection, clipped to the page; ignored when inverted.
  void SetSelection(int left, int top, int right, int bottom);
  // Drops the mask; the rectangle is kept for CropToSelection.
  void ClearSelection();
  // Crops to the selection rectangle; with a shaped selection the pixels
  // outside the mask first become BackgroundColor.
  void CropToSelection();
  // Removes specks of at most `strength` (1 to 9) differing pixels inside a
  // 3 × 3 block whose 5 × 5 border is one uniform value.
  void Despeckle(int strength);
  // The rotation in degrees that straightens the page, searched within
  // ± maxAngle (a Hough transform over dark-to-light horizontal edges).
  // A page without a single such edge answers 0.
  double DetectSkewAngle(int maxAngle) const;
  // Rotates by DetectSkewAngle and crops back to the size before, centred.
  void Deskew(int maxAngle, bool smooth, TColor fill);

  // Font, pen and brush that text output uses, like a drawing canvas's.
  TCanvasStyle Canvas;
  // Measures, and draws when `draw` is set, multi-line text with its first
  // line's top-left corner at (x, y). Transparency (0 to 100) blends the
  // text into 24-bit pages; alignment 0 left, 1 centre, 2 right.
  TTextBlockSize DrawTextBlock(ITextRenderer& renderer, const std::wstring& text, int x, int y, int transparency,
                               int alignment, bool draw);
  // The editing commands' text stamp: "MS Sans Serif" at max(6, width div
  // 40) points, black on a white box, one fortieth of the page in from the
  // left and from the top.
  void StampText(ITextRenderer& renderer, const std::wstring& text);
  // ---- end of image operations -----------------------------------------

 private:
  void UpdateExifResolution();
  void ConvertToPalette(const TRaster& source, int maxColors, int colorBits, TPixelFormat format);
  void ConvertToGray256();
  void ConvertToGray16();
  void ConvertOneBitToPalette16(const TRaster& copy);
  void ConvertToTwoColors(TColorMode mode, int method, int threshold);
};

}  // namespace pagewell
