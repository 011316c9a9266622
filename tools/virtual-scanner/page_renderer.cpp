#include "page_renderer.h"

#include <algorithm>
#include <cmath>
#include <cstring>
#include <sstream>

#include "glass_dust.h"
#include "sheet_documents.h"

namespace virtual_scanner {
namespace {

constexpr std::uint32_t kWhite = 0xFFFFFF;
// Black and white scans keep the thin strokes of small print: the
// anti-aliased edges of a glyph count as ink up to this luminance.
constexpr unsigned kBlackAndWhiteThreshold = 168;

std::uint32_t Rgb(unsigned r, unsigned g, unsigned b) { return (r & 0xFF) | ((g & 0xFF) << 8) | ((b & 0xFF) << 16); }
unsigned Red(std::uint32_t c) { return c & 0xFF; }
unsigned Green(std::uint32_t c) { return (c >> 8) & 0xFF; }
unsigned Blue(std::uint32_t c) { return (c >> 16) & 0xFF; }
unsigned Luminance(std::uint32_t c) { return (Red(c) * 30 + Green(c) * 59 + Blue(c) * 11) / 100; }

constexpr double kPi = 3.14159265358979323846;
// A cheque's size; a letter covers the whole glass.
constexpr double kChequeWidth = 6.0, kChequeHeight = 2.75;
// The scanner's lid where the glass is bare, and the sheet's shadow on it.
constexpr double kLid = 214, kShadow = 92, kShadowReach = 0.06;  // inches
constexpr double kEdgeWidth = 0.012;                             // the paper's cut edge, inches

std::uint32_t Gray(double level) {
  const unsigned v = static_cast<unsigned>(std::clamp(level, 0.0, 255.0) + 0.5);
  return Rgb(v, v, v);
}

// How the sheet lies on the glass: its size, and the turn about its centre.
struct TSheetPlacement {
  double Width, Height;
  double Cos, Sin;
  double CentreX() const { return Width / 2; }
  double CentreY() const { return Height / 2; }
  // The point of the sheet under a point of the glass (inches).
  void SheetPoint(double gx, double gy, double& sx, double& sy) const {
    const double dx = gx - CentreX(), dy = gy - CentreY();
    sx = CentreX() + Cos * dx + Sin * dy;
    sy = CentreY() - Sin * dx + Cos * dy;
  }
  void GlassPoint(double sx, double sy, double& gx, double& gy) const {
    const double dx = sx - CentreX(), dy = sy - CentreY();
    gx = CentreX() + Cos * dx - Sin * dy;
    gy = CentreY() + Sin * dx + Cos * dy;
  }
};

TSheetPlacement PlaceSheet(const TPageContent& content, const TScanSettings& settings) {
  TSheetPlacement sheet;
  sheet.Width = content.Cheque ? std::min(kChequeWidth, settings.GlassWidth) : settings.GlassWidth;
  sheet.Height = content.Cheque ? std::min(kChequeHeight, settings.GlassHeight) : settings.GlassHeight;
  // Clockwise as the page is seen: the lines fall to the right.
  const double angle = content.SkewDegrees * kPi / 180.0;
  sheet.Cos = std::cos(angle);
  sheet.Sin = std::sin(angle);
  return sheet;
}

void DrawSheet(TSheetCanvas& canvas, const TPageContent& content, const TScanSettings& settings,
               const TSheetPlacement& sheet) {
  if (content.Blank) return;
  if (content.Cheque) {
    DrawCheque(canvas, settings.PageNumber, content.MicrLine, sheet.Width, sheet.Height);
    return;
  }
  // Black and white scans are of plain letters; the photograph is only
  // there when asked for.
  TLetterParts parts;
  parts.Text = content.Text;
  parts.Photo = content.Photo || (content.Text && settings.PixelType != 0);
  if (parts.Text || parts.Photo) DrawLetter(canvas, settings.PageNumber, parts, sheet.Width, sheet.Height);
  if (content.Marks.Any()) DrawSparseMarks(canvas, settings.PageNumber, content.Marks, sheet.Width, sheet.Height);
}

// The colour of the glass outside the sheet: the lid, darkened by the
// sheet's shadow near its edge.
std::uint32_t BareGlass(const TSheetPlacement& sheet, double sx, double sy) {
  const double ox = sx < 0 ? -sx : sx > sheet.Width ? sx - sheet.Width : 0;
  const double oy = sy < 0 ? -sy : sy > sheet.Height ? sy - sheet.Height : 0;
  const double shade = std::max(0.0, 1 - std::sqrt(ox * ox + oy * oy) / kShadowReach);
  return Gray(kLid + (kShadow - kLid) * shade * shade);
}

// Darkens the paper's cut edge where it borders bare glass (where the sheet
// runs past the glass there is no edge to see).
std::uint32_t PaperEdge(const TSheetPlacement& sheet, const TScanSettings& settings, double sx, double sy,
                        std::uint32_t paper) {
  const double toLeft = sx, toRight = sheet.Width - sx, toTop = sy, toBottom = sheet.Height - sy;
  const double nearest = std::min({toLeft, toRight, toTop, toBottom});
  if (nearest >= kEdgeWidth) return paper;
  double outX = sx, outY = sy;
  const double out = nearest + 2 * kEdgeWidth;
  if (nearest == toLeft) outX -= out;
  else if (nearest == toRight) outX += out;
  else if (nearest == toTop) outY -= out;
  else outY += out;
  double gx, gy;
  sheet.GlassPoint(outX, outY, gx, gy);
  if (gx < 0 || gy < 0 || gx > settings.GlassWidth || gy > settings.GlassHeight) return paper;
  auto darken = [](unsigned v) { return v * 3 / 4; };
  return Rgb(darken(Red(paper)), darken(Green(paper)), darken(Blue(paper)));
}

std::uint32_t Bilinear(const TSheetCanvas& canvas, double fx, double fy) {
  const int x0 = std::clamp(static_cast<int>(std::floor(fx)), 0, canvas.Width() - 1);
  const int y0 = std::clamp(static_cast<int>(std::floor(fy)), 0, canvas.Height() - 1);
  const int x1 = std::min(x0 + 1, canvas.Width() - 1), y1 = std::min(y0 + 1, canvas.Height() - 1);
  const double tx = std::clamp(fx - x0, 0.0, 1.0), ty = std::clamp(fy - y0, 0.0, 1.0);
  const std::uint32_t a = canvas.At(x0, y0), b = canvas.At(x1, y0), c = canvas.At(x0, y1), d = canvas.At(x1, y1);
  auto channel = [&](int shift) {
    auto v = [shift](std::uint32_t p) { return static_cast<double>((p >> shift) & 0xFF); };
    const double top = v(a) + (v(b) - v(a)) * tx, bottom = v(c) + (v(d) - v(c)) * tx;
    return static_cast<std::uint32_t>(top + (bottom - top) * ty + 0.5) << shift;
  };
  return channel(0) | channel(8) | channel(16);
}

// Scans the frame: every pixel shows the sheet's point under it, or the
// bare glass around the sheet. A straight sheet is drawn right on the
// frame's pixels; a turned one is drawn straight and sampled between its
// pixels, as a scanner's optics blur a turned sheet.
std::vector<std::uint32_t> ScanFrame(const TPageContent& content, const TScanSettings& settings, int width,
                                     int height) {
  const TSheetPlacement sheet = PlaceSheet(content, settings);
  const bool turned = content.SkewDegrees != 0;
  double originX = settings.Left, originY = settings.Top;
  // Straight, the canvas is the frame's pixels up to the sheet's far edges.
  auto upTo = [](double inches, double dpi, int limit) {
    return std::clamp(static_cast<int>(std::ceil(inches * dpi)), 1, limit);
  };
  int canvasWidth = upTo(sheet.Width - settings.Left, settings.XDpi, width);
  int canvasHeight = upTo(sheet.Height - settings.Top, settings.YDpi, height);
  if (turned) {
    // The part of the sheet under the frame, a pixel wider all round.
    double minX = sheet.Width, minY = sheet.Height, maxX = 0, maxY = 0;
    for (double gx : {settings.Left, settings.Right})
      for (double gy : {settings.Top, settings.Bottom}) {
        double sx, sy;
        sheet.SheetPoint(gx, gy, sx, sy);
        minX = std::min(minX, sx), maxX = std::max(maxX, sx), minY = std::min(minY, sy), maxY = std::max(maxY, sy);
      }
    originX = std::max(0.0, minX) - 1 / settings.XDpi;
    originY = std::max(0.0, minY) - 1 / settings.YDpi;
    canvasWidth = std::clamp(static_cast<int>(std::ceil((std::min(sheet.Width, maxX) - originX) * settings.XDpi)) + 2, 1, kMaxSide + 4);
    canvasHeight = std::clamp(static_cast<int>(std::ceil((std::min(sheet.Height, maxY) - originY) * settings.YDpi)) + 2, 1, kMaxSide + 4);
  }
  TSheetCanvas canvas(originX, originY, canvasWidth, canvasHeight, settings.XDpi, settings.YDpi);
  DrawSheet(canvas, content, settings, sheet);
  GdiFlush();

  std::vector<std::uint32_t> colors(static_cast<std::size_t>(width) * height);
  // Sheet points step by a constant from pixel to pixel along a row.
  const double stepX = sheet.Cos / settings.XDpi, stepY = -sheet.Sin / settings.XDpi;
  for (int y = 0; y < height; ++y) {
    double sx, sy;
    sheet.SheetPoint(settings.Left + 0.5 / settings.XDpi, settings.Top + (y + 0.5) / settings.YDpi, sx, sy);
    std::uint32_t* row = &colors[static_cast<std::size_t>(y) * width];
    for (int x = 0; x < width; ++x, sx += stepX, sy += stepY) {
      if (sx < 0 || sy < 0 || sx >= sheet.Width || sy >= sheet.Height) {
        row[x] = BareGlass(sheet, sx, sy);
      } else if (!turned) {
        row[x] = canvas.At(x, y);
        if (content.Cheque) row[x] = PaperEdge(sheet, settings, sx, sy, row[x]);
      } else {
        const std::uint32_t c = Bilinear(canvas, (sx - originX) * settings.XDpi - 0.5, (sy - originY) * settings.YDpi - 0.5);
        row[x] = PaperEdge(sheet, settings, sx, sy, c);
      }
    }
  }
  return colors;
}

// The 8-bit palette of the palette pixel type: a 6 × 6 × 6 colour cube, then grays.
std::vector<std::uint32_t> CubePalette() {
  std::vector<std::uint32_t> palette;
  for (int r = 0; r < 6; ++r)
    for (int g = 0; g < 6; ++g)
      for (int b = 0; b < 6; ++b) palette.push_back(Rgb(r * 51, g * 51, b * 51));
  while (palette.size() < 256) {
    const unsigned level = static_cast<unsigned>((palette.size() - 216) * 255 / 39);
    palette.push_back(Rgb(level, level, level));
  }
  return palette;
}

int CubeIndex(std::uint32_t c) {
  auto level = [](unsigned v) { return static_cast<int>((v + 25) / 51); };
  return level(Red(c)) * 36 + level(Green(c)) * 6 + level(Blue(c));
}

std::vector<std::uint32_t> GrayPalette() {
  std::vector<std::uint32_t> palette(256);
  for (unsigned i = 0; i < 256; ++i) palette[i] = Rgb(i, i, i);
  return palette;
}

void Put32(std::vector<std::uint8_t>& out, std::size_t at, std::uint32_t v) { std::memcpy(&out[at], &v, 4); }

int SideInPixels(double inches, double dpi) {
  const double pixels = std::floor(inches * dpi + 0.5);
  if (!(pixels >= 1)) return 1;
  return pixels > kMaxSide ? kMaxSide : static_cast<int>(pixels);
}

constexpr std::uint32_t kTintedPaper = 0xC8EEFA;    // cream: r 250, g 238, b 200
constexpr std::uint32_t kRecycledPaper = 0xC8D4DC;  // r 220, g 212, b 200
constexpr int kRecycledFlecks = 400;
constexpr int kShowThrough = 30;

// The words of a nearly empty sheet and of the paper's look.
bool ParseSheetWord(const std::string& word, TPageContent& content) {
  TSparseMarks& marks = content.Marks;
  TPaperLook& paper = content.Paper;
  if (word == "signature") return marks.Signature = true;
  if (word == "page-number") return marks.PageNumber = true;
  if (word == "one-line") return marks.OneLine = true;
  if (word == "stamp") return marks.Stamp = true;
  if (word == "show-through") return paper.ShowThrough = kShowThrough, true;
  if (word == "holes") return paper.PunchHoles = 2, true;
  if (word == "shadow") return paper.Shadow = TShadowEdge::Left, true;
  if (word == "duplex-mix") return content.DuplexMix = true;
  if (word == "paper=white") return paper.Tint = 0xFFFFFF, paper.Flecks = 0, true;
  if (word == "paper=tinted") return paper.Tint = kTintedPaper, paper.Flecks = 0, true;
  if (word == "paper=recycled") return paper.Tint = kRecycledPaper, paper.Flecks = kRecycledFlecks, true;
  return false;
}

}  // namespace

TPageContent DuplexMixPage(int page) {
  const int sheet = (std::max(page, 1) + 1) / 2;
  const bool front = page % 2 == 1;
  TPageContent content;
  content.Text = false;
  const char* papers[] = {"paper=white", "paper=tinted", "paper=recycled"};
  ParseSheetWord(papers[sheet % 3], content);
  if (front) {
    switch (sheet % 6) {
      case 1: content.Marks.Signature = true; break;
      case 2: content.Marks.PageNumber = true; break;
      case 3: content.Marks.OneLine = true; break;
      case 4: content.Marks.Stamp = true; break;
      case 5: content.Text = true, content.Paper.PunchHoles = 2; break;
      default: content.Text = true; break;
    }
    return content;
  }
  content.Blank = sheet % 6 != 5;
  content.Marks.PageNumber = !content.Blank;
  content.Paper.ShowThrough = kShowThrough;
  content.Paper.PunchHoles = sheet % 6 == 5 ? 2 : sheet % 2 == 0 ? 3 : 0;
  content.Paper.Shadow = sheet % 3 == 0 ? TShadowEdge::Right : TShadowEdge::None;
  content.Specks = sheet % 2 == 1 ? 12 : 0;
  return content;
}

bool ParsePageContent(const std::string& text, TPageContent& content) {
  TPageContent parsed;
  parsed.Text = false;
  std::istringstream words(text);
  std::string word;
  bool any = false;
  while (words >> word) {
    any = true;
    if (word == "blank") {
      parsed.Blank = true;
    } else if (word == "text") {
      parsed.Text = true;
    } else if (word == "cheque") {
      parsed.Cheque = true;
    } else if (word == "photo") {
      parsed.Photo = true;
    } else if (ParseSheetWord(word, parsed)) {
    } else if (word.rfind("skew=", 0) == 0) {
      char* end = nullptr;
      parsed.SkewDegrees = std::strtod(word.c_str() + 5, &end);
      if (*end || std::fabs(parsed.SkewDegrees) > 45) return false;
    } else if (word.rfind("specks=", 0) == 0) {
      char* end = nullptr;
      const long n = std::strtol(word.c_str() + 7, &end, 10);
      if (*end || n < 0 || n > 10000) return false;
      parsed.Specks = static_cast<int>(n);
    } else {
      return false;
    }
  }
  if (!any) return false;
  content = parsed;
  return true;
}

TRenderedPage RenderPage(const TPageContent& asked, const TScanSettings& settings) {
  const TPageContent content = asked.DuplexMix ? DuplexMixPage(settings.PageNumber) : asked;
  TRenderedPage page;
  page.Width = SideInPixels(settings.Right - settings.Left, settings.XDpi);
  page.Height = SideInPixels(settings.Bottom - settings.Top, settings.YDpi);
  const int pixelType = settings.PixelType >= 0 && settings.PixelType <= 3 ? settings.PixelType : 2;
  const int naturalBits = pixelType == 0 ? 1 : pixelType == 2 ? 24 : 8;
  const int bits = settings.BitDepthOverride > 0 ? settings.BitDepthOverride : naturalBits;

  static const std::vector<std::uint32_t> cube = CubePalette();
  page.Colors = ScanFrame(content, settings, page.Width, page.Height);
  ApplyPaperLook(page.Colors, page.Width, page.Height, settings.XDpi, settings.YDpi, content.Paper, settings.PageNumber);
  AddGlassDust(page.Colors, page.Width, page.Height, settings.XDpi, content.Specks, settings.PageNumber);
  // Pixel values as the pixel type records them.
  std::vector<int> indices(page.Colors.size());
  for (std::size_t at = 0; at < indices.size(); ++at) {
    const std::uint32_t c = page.Colors[at];
    switch (pixelType) {
      case 0: indices[at] = Luminance(c) < kBlackAndWhiteThreshold ? 0 : 1; page.Colors[at] = indices[at] ? kWhite : 0; break;
      case 1: indices[at] = static_cast<int>(Luminance(c)); page.Colors[at] = Rgb(indices[at], indices[at], indices[at]); break;
      case 3: indices[at] = CubeIndex(c); page.Colors[at] = cube[indices[at]]; break;
      default: break;
    }
  }

  std::vector<std::uint32_t> table;
  if (bits == 1) table = settings.WhiteFirstTable ? std::vector<std::uint32_t>{kWhite, 0} : std::vector<std::uint32_t>{0, kWhite};
  if (bits == 8) table = pixelType == 3 ? cube : GrayPalette();
  const std::size_t stride = ((static_cast<std::size_t>(page.Width) * bits + 31) / 32) * 4;
  const std::size_t pixelsAt = 40 + 4 * table.size();
  page.Dib.assign(pixelsAt + stride * page.Height, 0);
  Put32(page.Dib, 0, 40);
  Put32(page.Dib, 4, static_cast<std::uint32_t>(page.Width));
  Put32(page.Dib, 8, static_cast<std::uint32_t>(settings.TopDown ? -page.Height : page.Height));
  page.Dib[12] = 1;
  page.Dib[14] = static_cast<std::uint8_t>(bits);
  const std::uint32_t xPels = settings.ZeroResolution ? 0 : static_cast<std::uint32_t>(settings.XDpi * 10000 / 254 + 0.5);
  const std::uint32_t yPels = settings.ZeroResolution ? 0 : static_cast<std::uint32_t>(settings.YDpi * 10000 / 254 + 0.5);
  Put32(page.Dib, 20, static_cast<std::uint32_t>(stride * page.Height));
  Put32(page.Dib, 24, xPels);
  Put32(page.Dib, 28, yPels);
  for (std::size_t i = 0; i < table.size(); ++i) {
    // RGBQUAD: blue, green, red, 0.
    const std::uint32_t c = table[i];
    Put32(page.Dib, 40 + 4 * i, (Red(c) << 16) | (Green(c) << 8) | Blue(c));
  }
  if (bits != naturalBits) return page;  // an override depth carries no meaningful pixels

  for (int y = 0; y < page.Height; ++y) {
    const int stored = settings.TopDown ? y : page.Height - 1 - y;
    std::uint8_t* row = &page.Dib[pixelsAt + stored * stride];
    for (int x = 0; x < page.Width; ++x) {
      const std::size_t at = static_cast<std::size_t>(y) * page.Width + x;
      if (bits == 1) {
        const int bit = settings.WhiteFirstTable ? 1 - indices[at] : indices[at];
        if (bit) row[x / 8] |= static_cast<std::uint8_t>(0x80 >> (x % 8));
      } else if (bits == 8) {
        row[x] = static_cast<std::uint8_t>(indices[at]);
      } else {
        const std::uint32_t c = page.Colors[at];
        row[3 * x] = static_cast<std::uint8_t>(Blue(c));
        row[3 * x + 1] = static_cast<std::uint8_t>(Green(c));
        row[3 * x + 2] = static_cast<std::uint8_t>(Red(c));
      }
    }
  }
  return page;
}

}  // namespace virtual_scanner
