#include "imaging/palette_reduction.h"

#include <array>
#include <cstdint>
#include <cstring>

#include "imaging/frequent_color_ids.h"
#include "imaging/nearest_color.h"
#include "imaging/octree_quantizer.h"

namespace pagewell {
namespace {

// Any source, any palette format: feed the octree, then draw the source
// with the table as palette.
TRaster ReduceByDrawing(const TRaster& source, int maxColors, int colorBits, TPixelFormat format) {
  TColorQuantizer quantizer(maxColors, colorBits);
  quantizer.ProcessImage(source);
  TRaster target(source.Width(), source.Height(), format);
  target.SetPaletteKeepingIndices(quantizer.ColorTable());
  target.Draw(source, 0, 0);
  return target;
}

// The colour key of the blue, green, red pixel at p, where a byte after the
// pixel may be read: one load of 32 bits on a little-endian machine.
inline std::uint32_t KeyBeforeMore(const std::uint8_t* p) {
#if defined(__BYTE_ORDER__) && __BYTE_ORDER__ == __ORDER_LITTLE_ENDIAN__
  std::uint32_t word;
  std::memcpy(&word, p, sizeof word);
  return word & 0xFFFFFFu;
#else
  return RGBKey(p[2], p[1], p[0]);
#endif
}

// A 24-bit page onto 8 bits, in two passes over the pixels instead of a
// feed and a full nearest-colour drawing. The feeding pass writes each
// pixel of a frequent colour as that colour's provisional id, and only
// counts it: its colour was fed to the octree at its first pixel, and the
// counted pixels are fed in one at the end, which leaves the table as it
// would be after feeding pixel by pixel. The second pass turns ids into
// palette indices through a table of at most 254 entries and searches the
// nearest entry only for pixels of unlisted colours, marked by whether
// their colour was seen recently: only those go through the search's cache.
class TTrueColorReduction {
  static constexpr int kUnlisted = TFrequentColorIds::kNotListed;
  static constexpr int kRecentUnlisted = 255;
  static constexpr int kMaxIds = 254;

 public:
  TTrueColorReduction(const TRaster& source, int maxColors, int colorBits)
      : source_(source),
        target_(TRaster::WithUnsetPixels(source.Width(), source.Height(), TPixelFormat::pf8bit)),
        quantizer_(maxColors, colorBits),
        ids_(kMaxIds) {}

  TRaster Run() {
    for (int y = 0; y < source_.Height(); ++y) FeedRow(source_.ScanLine(y), target_.ScanLine(y));
    FeedCountedPixels();
    target_.SetPaletteKeepingIndices(quantizer_.ColorTable());
    TNearestColorMap nearest(target_.Palette());  // the padded palette: its black entries can be nearest
    const std::array<std::uint8_t, 256> indexOfId = PaletteIndexOfIds(nearest);
    for (int y = 0; y < source_.Height(); ++y) DrawRow(source_.ScanLine(y), target_.ScanLine(y), indexOfId, nearest);
    return std::move(target_);
  }

 private:
  void FeedRow(const std::uint8_t* bgr, std::uint8_t* ids) {
    const int last = source_.Width() - 1;
    for (int x = 0; x < last; ++x, bgr += 3) ids[x] = FeedPixel(bgr, KeyBeforeMore(bgr));
    ids[last] = FeedPixel(bgr, RGBKey(bgr[2], bgr[1], bgr[0]));
  }

  std::uint8_t FeedPixel(const std::uint8_t* bgr, std::uint32_t key) {
    int id = ids_.Find(key);
    if (id != TFrequentColorIds::kNotListed) {
      ++counted_[static_cast<std::size_t>(id)];
    } else {
      id = FeedUnlisted(bgr, key);
    }
    return static_cast<std::uint8_t>(id);
  }

  // Out of the pixel loop: most pixels of a page never come here.
  __attribute__((noinline)) int FeedUnlisted(const std::uint8_t* bgr, std::uint32_t key) {
    const bool recent = quantizer_.AddColor(bgr[2], bgr[1], bgr[0]);
    const int id = ids_.Add(key);  // counted_ of a new id starts at 0: this pixel is fed already
    return id != TFrequentColorIds::kNotListed ? id : recent ? kRecentUnlisted : kUnlisted;
  }

  void FeedCountedPixels() {
    for (int id = 1; id <= ids_.Count(); ++id) {
      const std::uint32_t key = ids_.KeyOf(id);
      quantizer_.AddColor(static_cast<std::uint8_t>(key >> 16), static_cast<std::uint8_t>(key >> 8),
                          static_cast<std::uint8_t>(key), counted_[static_cast<std::size_t>(id)]);
    }
  }

  std::array<std::uint8_t, 256> PaletteIndexOfIds(TNearestColorMap& nearest) const {
    std::array<std::uint8_t, 256> indexOfId{};
    for (int id = 1; id <= ids_.Count(); ++id) {
      const std::uint32_t key = ids_.KeyOf(id);
      indexOfId[static_cast<std::size_t>(id)] = static_cast<std::uint8_t>(
          nearest.IndexOf(static_cast<std::uint8_t>(key >> 16), static_cast<std::uint8_t>(key >> 8),
                          static_cast<std::uint8_t>(key)));
    }
    return indexOfId;
  }

  void DrawRow(const std::uint8_t* bgr, std::uint8_t* row, const std::array<std::uint8_t, 256>& indexOfId,
               TNearestColorMap& nearest) const {
    for (int x = 0, width = source_.Width(); x < width; ++x) {
      const std::uint8_t id = row[x];
      if (id != kUnlisted && id != kRecentUnlisted) {
        row[x] = indexOfId[id];
      } else {
        const std::uint8_t* p = bgr + 3 * x;
        row[x] = static_cast<std::uint8_t>(id == kUnlisted ? nearest.IndexOfOnce(p[2], p[1], p[0])
                                                           : nearest.IndexOf(p[2], p[1], p[0]));
      }
    }
  }

  const TRaster& source_;
  TRaster target_;
  TColorQuantizer quantizer_;
  TFrequentColorIds ids_;
  std::array<std::uint32_t, kMaxIds + 1> counted_{};  // pixels not yet fed, by id
};

}  // namespace

TRaster ReduceToPalette(const TRaster& source, int maxColors, int colorBits, TPixelFormat format) {
  if (source.PixelFormat() == TPixelFormat::pf24bit && format == TPixelFormat::pf8bit) {
    return TTrueColorReduction(source, maxColors, colorBits).Run();
  }
  return ReduceByDrawing(source, maxColors, colorBits, format);
}

}  // namespace pagewell
