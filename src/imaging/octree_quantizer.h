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
  std::uint32_t Path = 0;  // the path from the root to this node: the top 3 × level bits of its colours' paths
  std::uint64_t RedSum = 0, GreenSum = 0, BlueSum = 0;
  std::int32_t NextReducible = -1;  // next node of the same level's reducible list
  std::int32_t Children[8] = {-1, -1, -1, -1, -1, -1, -1, -1};
};

class TColorQuantizer {
  // Recently found leaves by exact colour. A page is mostly made of a few
  // colours, and a pixel of a cached colour only raises the slot's pending
  // count; the counts are added to their leaves before any node is folded,
  // before a slot is reused and before the colour table is read, so the
  // result is exactly that of descending the tree for every pixel. Folding
  // invalidates every slot: a slot counts only in the generation it was
  // written in.
  struct LeafCacheSlot {
    std::uint32_t key = 0xFFFFFFFFu;
    std::int32_t leaf = -1;
    std::uint32_t generation = 0;
    std::uint32_t pending = 0;
  };
  static constexpr int kShortcutLevels = 4;  // the steps of a path that index shortcut_

 public:
  // maxColors >= 1; colorBits from 1 to 8.
  TColorQuantizer(int maxColors, int colorBits);

  // Feeds every pixel, rows top to bottom. Palette images are read through
  // their palettes; 15-, 16- and 32-bit images are ignored.
  void ProcessImage(const TRaster& image);

  // Feeds `count` pixels of one colour, the same as `count` single feeds in a
  // row: only a colour's first pixel can change the tree, the others are
  // only counted. So pixels of a colour fed before may be fed later, in
  // one, without changing the table. Answers whether the colour was among
  // the recently fed ones (found in the leaf cache).
  bool AddColor(std::uint8_t red, std::uint8_t green, std::uint8_t blue, std::uint32_t count = 1) {
    if (count == 0) return false;
    const std::uint32_t key = RGBKey(red, green, blue);
    const std::uint32_t slot = (key ^ (key >> 12) ^ (key >> 20)) & (kLeafCacheSlots - 1);
    LeafCacheSlot& cached = leafCache_[slot];
    if (cached.key == key && cached.generation == generation_) {
      if (cached.pending == 0) dirtySlots_.push_back(slot);
      cached.pending += count;
      return true;
    }
    InsertColor(red, green, blue, count, slot);
    return false;
  }

  int LeafCount() const { return leafCount_; }
  // The leaves' mean colours (rounded, ties to even), depth first.
  std::vector<TColor> ColorTable();

 private:
  static constexpr std::uint32_t kLeafCacheSlots = 4096;

  void InsertColor(std::uint8_t red, std::uint8_t green, std::uint8_t blue, std::uint32_t count, std::uint32_t slot);
  void FlushPending();
  std::int32_t NewNode(int level, std::uint32_t path);
  std::int32_t Descend(std::uint32_t path);
  void Reduce();
  void CollectColors(std::int32_t node, std::vector<TColor>& table) const;

  int maxColors_;
  int colorBits_;
  int leafCount_ = 0;
  std::vector<TOctreeNode> nodes_;
  std::int32_t freeList_ = -1;
  std::int32_t reducible_[9];
  std::int32_t root_;
  // The leaf of every path whose first kShortcutLevels steps lead to a leaf,
  // by those steps; -1 where the path goes deeper or is not known yet. Most
  // colours of a photograph end in leaves a few levels down once the tree
  // has been folded, and the shortcut spares them the walk. Only folding
  // takes leaves away: folding a node clears the entries below it.
  std::vector<std::int32_t> shortcut_;
  std::vector<LeafCacheSlot> leafCache_;
  std::vector<std::uint32_t> dirtySlots_;  // slots whose pending count is not 0
  std::uint32_t generation_ = 1;
};

}  // namespace pagewell
