#pragma once
// TColorQuantizer: octree colour reduction. Every pixel colour is inserted
// into an octree whose depth is the number of colour bits, the child at
// level L chosen by bit 7 - L of red, green and blue; whenever the leaves
// outnumber the maximum, the most recently created node of the deepest
// level that still has reducible nodes is folded into a leaf. The colour
// table lists the leaves' mean colours, depth first.
#include <cstdint>
#include <vector>

#include "imaging/color.h"
#include "imaging/raster.h"

namespace pagewell {

struct TOctreeNode {
  bool IsLeaf = false;
  std::uint32_t PixelCount = 0;
  std::uint64_t RedSum = 0, GreenSum = 0, BlueSum = 0;
  std::int32_t NextReducible = -1;  // next node of the same level's reducible list
  std::int32_t Children[8] = {-1, -1, -1, -1, -1, -1, -1, -1};
};

class TColorQuantizer {
 public:
  // maxColors >= 1; colorBits from 1 to 8.
  TColorQuantizer(int maxColors, int colorBits);

  // Feeds every pixel, rows top to bottom. Palette images are read through
  // their palettes; 15-, 16- and 32-bit images are ignored.
  void ProcessImage(const TRaster& image);
  void AddColor(std::uint8_t red, std::uint8_t green, std::uint8_t blue);

  int LeafCount() const { return leafCount_; }
  // The leaves' mean colours (rounded, ties to even), depth first.
  std::vector<TColor> ColorTable() const;

 private:
  std::int32_t NewNode(int level);
  void Reduce();
  void CollectColors(std::int32_t node, std::vector<TColor>& table) const;

  int maxColors_;
  int colorBits_;
  int leafCount_ = 0;
  std::vector<TOctreeNode> nodes_;
  std::int32_t freeList_ = -1;
  std::int32_t reducible_[9];
  std::int32_t root_;
  // The leaf of the previous colour: runs of one colour skip the descent.
  std::uint32_t lastKey_ = 0xFFFFFFFFu;
  std::int32_t lastLeaf_ = -1;
};

}  // namespace pagewell
