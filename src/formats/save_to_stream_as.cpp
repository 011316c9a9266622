// TluBitmap::SaveToStreamAs: one page to one file in any output format. Each
// encoder is created for the file, handed the page and its settings, and
// freed when the file is written.
#include "formats/bmp/bmp_image.h"
#include "formats/format_code.h"
#include "formats/gif/gif_image.h"
#include "formats/jpeg/jpeg_image_extra.h"
#include "formats/memory_stream.h"
#include "formats/pcx/pcx_image.h"
#include "formats/pdf/lu_pdf.h"
#include "formats/png/png_image.h"
#include "formats/psd/psd_image.h"
#include "formats/tiff/tif_image.h"
#include "formats/wbmp/wbmp_image.h"
#include "imaging/lu_bitmap.h"

namespace pagewell {
namespace {

// A true-colour page is reduced to 256 colours on a copy; paletted pages go
// as they are. (A page that is neither, such as an unclassified 16-bit one,
// is reduced the same way, since GIF holds palette pixels only.)
void SaveAsGif(const TluBitmap& page, TMemoryStream& stream) {
  TGIFImage gif;
  if (IsPaletteFormat(page.PixelFormat())) {
    gif.Assign(page);
  } else {
    TluBitmap copy;
    copy.Assign(page);
    copy.ConvertColorMode(cmPalette256, 2, 128);
    gif.Assign(copy);
  }
  gif.Compression = page.GifLzw ? gcLZW : gcRLE;
  if (page.Transparent) gif.SetTransparentColor(page.BackgroundColor);
  gif.SaveToStream(stream);
}

void SaveAsPcx(const TluBitmap& page, TMemoryStream& stream) {
  TPCXImage pcx;
  pcx.Assign(page);
  pcx.SetResolution(page.XDpi(), page.YDpi());
  pcx.SaveToStream(stream);
}

// TiffCompression 2 asks for CCITT Group 4, which needs a black-and-white
// page: the page itself is converted. The conversion resets TiffCompression,
// so the request is read before it and the field is put back afterwards;
// otherwise a page that was not yet black-and-white would silently be
// written uncompressed.
void SaveAsTiff(TluBitmap& page, TMemoryStream& stream) {
  const std::uint8_t requested = page.TiffCompression;
  if (requested == 2) {
    page.ConvertColorMode(cmBlackWhite, 2, 128);
    page.TiffCompression = requested;
  }
  TTIFImage tiff;
  tiff.Compression = requested == 2 ? tiff::compCCITTGroup4 : requested == 1 ? tiff::compPackBits : tiff::compNone;
  tiff.Assign(page);
  tiff.XDpi = page.XDpi();
  tiff.YDpi = page.YDpi();
  tiff.SaveToStream(stream);
}

void SaveAsPng(const TluBitmap& page, TMemoryStream& stream) {
  ToxPNGImage png;
  png.Assign(page);
  png.Alpha = page.Alpha;
  png.ApplyTransparentColor(page.Transparent, page.BackgroundColor);
  png.SetResolution(page.XDpi(), page.YDpi());
  png.SaveToStream(stream);
}

void SaveAsPsd(const TluBitmap& page, TMemoryStream& stream) {
  TPSDImage psd;
  psd.Assign(page);
  psd.FileInfo = page.FileInfo;
  psd.XDpi = page.XDpi();
  psd.YDpi = page.YDpi();
  psd.SaveToStream(stream);
}

void SaveAsWbmp(const TluBitmap& page, TMemoryStream& stream) {
  TWBMPImage wbmp;
  wbmp.Assign(page);
  wbmp.SaveToStream(stream);
}

}  // namespace

void TluBitmap::SaveToStreamAs(TMemoryStream& stream, int formatCode, int quality, const std::string& title,
                               const std::string& subject, const std::string& author, const std::string& keywords) {
  if (formatCode != fcPNG && HasAlpha()) FlattenAlpha();
  switch (formatCode) {
    case fcBMP: SaveToStream(stream); break;
    case fcGIF: SaveAsGif(*this, stream); break;
    case fcJPEG: SaveBitmapAsJpeg(*this, quality, stream); break;
    case fcPCX: SaveAsPcx(*this, stream); break;
    case fcTIFF: SaveAsTiff(*this, stream); break;
    case fcPNG: SaveAsPng(*this, stream); break;
    case fcPSD: SaveAsPsd(*this, stream); break;
    case fcWBMP: SaveAsWbmp(*this, stream); break;
    case fcPDF: SaveBitmapAsPdf(*this, quality, title, subject, author, keywords, stream); break;
    default: break;  // 9 and above: not an output format
  }
}

}  // namespace pagewell
