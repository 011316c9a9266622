#pragma once
// The document pages the virtual scanner hands over: rendered at the
// negotiated pixel type, resolution and frame, as the colour of every pixel
// and as the packed DIB a native transfer delivers. Linked by the tests as
// well, so that they can render the very page the source rendered and
// compare.
#include <cstdint>
#include <string>
#include <vector>

#include "paper_look.h"
#include "sparse_marks.h"

namespace virtual_scanner {

// What a page shows.
struct TPageContent {
  bool Blank = false;
  bool Text = true;         // a letter: letterhead, heading, paragraphs, table, signature
  bool Cheque = false;      // a cheque lying at the glass's top-left corner
  double SkewDegrees = 0;   // the sheet lies turned clockwise by this angle
  int Specks = 0;           // dust on the glass: small dots, and a hair per 20 of them
  bool Photo = false;       // the photograph, also on black and white pages
  std::string MicrLine;     // printed on a cheque; empty for a made-up one
  TSparseMarks Marks;       // a nearly empty sheet's signature, page number, line or stamp
  TPaperLook Paper;         // tint, flecks, show-through, punch holes, edge shadow
  bool DuplexMix = false;   // the page number picks one of a duplex batch's sides
};

// Parses "blank", or words among "text", "cheque", "skew=DEG", "specks=N",
// "photo", "signature", "page-number", "one-line", "stamp",
// "paper=white|tinted|recycled", "show-through", "holes", "shadow" and
// "duplex-mix"; false (and `content` unchanged) for anything else.
bool ParsePageContent(const std::string& text, TPageContent& content);

// How the page is scanned and delivered.
struct TScanSettings {
  int PixelType = 2;            // 0 black and white, 1 gray, 2 RGB, 3 palette
  double XDpi = 100, YDpi = 100;
  double Left = 0, Top = 0, Right = 8.5, Bottom = 11;  // inches
  int BitDepthOverride = 0;     // 0 = the pixel type's own depth
  bool WhiteFirstTable = false; // 1-bit table (white, black) with bits inverted
  bool ZeroResolution = false;  // biXPelsPerMeter = biYPelsPerMeter = 0
  bool TopDown = false;         // negative biHeight, first row on top
  int PageNumber = 1;           // varies the text so pages differ
  // The scanner's glass, from its top-left corner; a letter covers it.
  double GlassWidth = 8.5, GlassHeight = 11;
};

struct TRenderedPage {
  int Width = 0;
  int Height = 0;
  // Colours 0x00BBGGRR, top row first, as the pixel type shows them.
  std::vector<std::uint32_t> Colors;
  std::vector<std::uint8_t> Dib;
};

// Pages are limited to this many pixels a side so that an odd frame or
// resolution cannot make the source allocate without bound.
constexpr int kMaxSide = 12000;

TRenderedPage RenderPage(const TPageContent& content, const TScanSettings& settings);

// Page N of a duplex batch of mixed sheets (odd numbers are fronts, even
// numbers their backs): fronts cycle through a letter, a signature alone,
// a page number alone, one line, a red stamp and a punched letter; backs
// are empty, with the front's show-through, on white, tinted or recycled
// paper, now punched, dusty or shadowed; the back of every sixth sheet
// carries a page number.
TPageContent DuplexMixPage(int page);

}  // namespace virtual_scanner
