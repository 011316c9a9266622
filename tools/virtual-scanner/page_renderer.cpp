#include "page_renderer.h"

#include <algorithm>
#include <cmath>
#include <cstring>
#include <sstream>

namespace virtual_scanner {
namespace {

constexpr std::uint32_t kWhite = 0xFFFFFF;
constexpr std::uint32_t kInk = 0x201810;  // dark blue-black ink

std::uint32_t Rgb(unsigned r, unsigned g, unsigned b) { return (r & 0xFF) | ((g & 0xFF) << 8) | ((b & 0xFF) << 16); }
unsigned Red(std::uint32_t c) { return c & 0xFF; }
unsigned Green(std::uint32_t c) { return (c >> 8) & 0xFF; }
unsigned Blue(std::uint32_t c) { return (c >> 16) & 0xFF; }
unsigned Luminance(std::uint32_t c) { return (Red(c) * 30 + Green(c) * 59 + Blue(c) * 11) / 100; }

// A small deterministic hash, so that words and specks are the same every run.
std::uint32_t Hash(std::uint32_t a, std::uint32_t b) {
  std::uint32_t h = a * 0x9E3779B1u ^ (b + 0x7F4A7C15u + (a << 6) + (a >> 2));
  h ^= h >> 15;
  h *= 0x85EBCA6Bu;
  h ^= h >> 13;
  return h;
}

// The page's colour at a point given in inches from the scanner's origin.
std::uint32_t PageColor(const TPageContent& content, int page, double x, double y) {
  if (content.Blank) return kWhite;
  if (content.Photo && x >= 4.5 && x < 7.5 && y >= 1.0 && y < 3.5) {
    return Rgb(static_cast<unsigned>((x - 4.5) / 3.0 * 255), static_cast<unsigned>((y - 1.0) / 2.5 * 255), 160);
  }
  if (content.Text && x >= 1.0 && x < 7.5) {
    // Lines every 0.25 inch, 0.1 inch high, made of words 0.2 .. 0.8 inch long.
    const double slope = std::tan(content.SkewDegrees * 3.14159265358979 / 180.0);
    const double lineY = y - (x - 1.0) * slope - 1.0;
    if (lineY >= 0 && lineY < 9.0) {
      const int line = static_cast<int>(lineY / 0.25);
      const double inLine = lineY - line * 0.25;
      if (inLine < 0.1 && Hash(line, page) % 7 != 0) {
        double wordStart = 1.0;
        for (int word = 0; wordStart < 7.5; ++word) {
          const double length = 0.2 + (Hash(line * 31 + word, page) % 7) * 0.1;
          if (x >= wordStart && x < wordStart + length) return kInk;
          wordStart += length + 0.1;
        }
      }
    }
  }
  return kWhite;
}

bool IsSpeck(const TPageContent& content, int page, int px, int py, int width, int height) {
  for (int i = 0; i < content.Specks; ++i) {
    const int sx = static_cast<int>(Hash(i, page * 2 + 1) % static_cast<std::uint32_t>(width));
    const int sy = static_cast<int>(Hash(i, page * 2 + 2) % static_cast<std::uint32_t>(height));
    if (px >= sx && px < sx + 2 && py >= sy && py < sy + 2) return true;
  }
  return false;
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

}  // namespace

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
    } else if (word == "photo") {
      parsed.Photo = true;
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

TRenderedPage RenderPage(const TPageContent& content, const TScanSettings& settings) {
  TRenderedPage page;
  page.Width = SideInPixels(settings.Right - settings.Left, settings.XDpi);
  page.Height = SideInPixels(settings.Bottom - settings.Top, settings.YDpi);
  const int pixelType = settings.PixelType >= 0 && settings.PixelType <= 3 ? settings.PixelType : 2;
  const int naturalBits = pixelType == 0 ? 1 : pixelType == 2 ? 24 : 8;
  const int bits = settings.BitDepthOverride > 0 ? settings.BitDepthOverride : naturalBits;

  static const std::vector<std::uint32_t> cube = CubePalette();
  // Pixel values as the pixel type records them.
  std::vector<int> indices(static_cast<std::size_t>(page.Width) * page.Height);
  page.Colors.resize(indices.size());
  for (int y = 0; y < page.Height; ++y) {
    for (int x = 0; x < page.Width; ++x) {
      std::uint32_t c = PageColor(content, settings.PageNumber, settings.Left + (x + 0.5) / settings.XDpi,
                                  settings.Top + (y + 0.5) / settings.YDpi);
      if (IsSpeck(content, settings.PageNumber, x, y, page.Width, page.Height)) c = kInk;
      const std::size_t at = static_cast<std::size_t>(y) * page.Width + x;
      switch (pixelType) {
        case 0: indices[at] = Luminance(c) < 128 ? 0 : 1; page.Colors[at] = indices[at] ? kWhite : 0; break;
        case 1: indices[at] = static_cast<int>(Luminance(c)); page.Colors[at] = Rgb(indices[at], indices[at], indices[at]); break;
        case 3: indices[at] = CubeIndex(c); page.Colors[at] = cube[indices[at]]; break;
        default: page.Colors[at] = c; break;
      }
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
