#include "formats/tiff/ccitt_group4_encoder.h"

#include <cstdlib>
#include <utility>

#include "formats/tiff/bit_writer.h"
#include "formats/tiff/ccitt_codes.h"
#include "formats/tiff/changing_elements.h"

namespace pagewell {
namespace {

int Brightness(TColor c) { return RedOf(c) + GreenOf(c) + BlueOf(c); }

// The bit value that stands for white: index 1 unless the palette puts the
// brighter colour first (a white, black palette must not come out inverted).
int WhiteBitOf(const TRaster& bitmap) {
  const auto& palette = bitmap.Palette();
  if (palette.size() >= 2 && Brightness(palette[0]) > Brightness(palette[1])) return 0;
  return 1;
}

// "Horizontal mode ... M(a0a1) and M(a1a2) are code words which represent
// the length and colour of the runs": make-up codes of at most 2560,
// repeated for longer runs, then the terminating code.
void PutRun(TBitWriter& out, TRunColor color, int run) {
  while (run >= 2560 + 64) {
    out.Put(MakeUpCode(color, kCCITTMaxMakeUp));
    run -= kCCITTMaxMakeUp;
  }
  if (run >= 64) {
    const int makeUp = run / 64 * 64;
    out.Put(MakeUpCode(color, makeUp));
    run -= makeUp;
  }
  out.Put(TerminatingCode(color, run));
}

// One coding line against its reference line, both given as changing
// elements with sentinels (T.6 section 2.2, the coding procedure).
void EncodeRow(const std::vector<int>& coding, const std::vector<int>& reference, int width, TBitWriter& out) {
  int a0 = -1;  // the imaginary white element before the row
  int color = 0;
  std::size_t a1Index = 0;  // first coding element right of a0
  std::size_t b1Index = 0;
  while (a0 < width) {
    while (coding[a1Index] <= a0 && coding[a1Index] < width) ++a1Index;
    const int a1 = coding[a1Index];
    b1Index = FindB1(reference, b1Index > 0 ? b1Index - 1 : 0, a0, color);
    const int b1 = reference[b1Index];
    const int b2 = reference[b1Index + 1];
    if (b2 < a1) {
      out.Put(kPassCode);
      a0 = b2;  // colour unchanged
    } else if (std::abs(a1 - b1) <= 3) {
      out.Put(VerticalCode(a1 - b1));
      a0 = a1;
      color ^= 1;
    } else {
      const int a2 = coding[a1Index + 1 < coding.size() ? a1Index + 1 : a1Index];
      const int start = a0 < 0 ? 0 : a0;
      out.Put(kHorizontalCode);
      PutRun(out, color ? TRunColor::Black : TRunColor::White, a1 - start);
      PutRun(out, color ? TRunColor::White : TRunColor::Black, a2 - a1);
      a0 = a2;
    }
  }
}

TRaster OneBitCopy(const TRaster& bitmap) {
  TRaster copy = bitmap;
  copy.SetPixelFormat(TPixelFormat::pf1bit);
  return copy;
}

}  // namespace

std::vector<std::uint8_t> EncodeGroup4(const TRaster& bitmap) {
  if (bitmap.PixelFormat() != TPixelFormat::pf1bit && !bitmap.Empty()) return EncodeGroup4(OneBitCopy(bitmap));
  std::vector<std::uint8_t> data;
  TBitWriter out(data);
  const int width = bitmap.Width();
  const int whiteBit = WhiteBitOf(bitmap);
  std::vector<int> reference;
  std::vector<int> coding;
  SetAllWhite(width, reference);
  for (int y = 0; y < bitmap.Height(); ++y) {
    FindChangingElements(bitmap.ScanLine(y), width, whiteBit, coding);
    EncodeRow(coding, reference, width, out);
    std::swap(coding, reference);
  }
  // "The end-of-facsimile block (EOFB) ... 000000000001 000000000001".
  out.Put(kEOLCode);
  out.Put(kEOLCode);
  out.Flush();
  // The pages of a document keep their coded data until the file is
  // written: none of them holds on to the room the vector grew into.
  data.shrink_to_fit();
  return data;
}

void EncodeGroup4(const TRaster& bitmap, TMemoryStream& stream) {
  const std::vector<std::uint8_t> data = EncodeGroup4(bitmap);
  stream.Write(data.data(), data.size());
}

}  // namespace pagewell
