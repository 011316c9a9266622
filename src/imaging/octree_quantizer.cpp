#include "imaging/octree_quantizer.h"

#include <algorithm>
#include <array>
#include <stdexcept>

namespace pagewell {
namespace {

std::uint8_t MeanRoundedToEven(std::uint64_t sum, std::uint64_t count) {
  std::uint64_t mean = sum / count;
  const std::uint64_t twiceRest = (sum % count) * 2;
  if (twiceRest > count || (twiceRest == count && (mean & 1))) ++mean;
  return static_cast<std::uint8_t>(std::min<std::uint64_t>(mean, 255));
}

// The bits of v spread three places apart: bit k moves to bit 3k.
constexpr std::array<std::uint32_t, 256> SpreadBits() {
  std::array<std::uint32_t, 256> spread{};
  for (std::uint32_t v = 0; v < 256; ++v) {
    for (int k = 0; k < 8; ++k) spread[v] |= ((v >> k) & 1u) << (3 * k);
  }
  return spread;
}
constexpr std::array<std::uint32_t, 256> kSpreadBits = SpreadBits();

// The colour's whole path from the root: three bits per level, level 0 in
// the top three, each the child index (red bit, green bit, blue bit).
inline std::uint32_t OctreePath(std::uint8_t red, std::uint8_t green, std::uint8_t blue) {
  return kSpreadBits[red] << 2 | kSpreadBits[green] << 1 | kSpreadBits[blue];
}

constexpr int kPathBits = 24;

// The first `level` steps of a path, the other bits 0.
inline std::uint32_t PathPrefix(std::uint32_t path, int level) {
  const int rest = kPathBits - 3 * level;
  return path >> rest << rest;
}

}  // namespace

TColorQuantizer::TColorQuantizer(int maxColors, int colorBits)
    : maxColors_(std::max(1, maxColors)),
      colorBits_(std::clamp(colorBits, 1, 8)),
      shortcut_(std::size_t{1} << (3 * kShortcutLevels), -1),
      leafCache_(kLeafCacheSlots) {
  std::fill(std::begin(reducible_), std::end(reducible_), -1);
  nodes_.reserve(1024);
  root_ = NewNode(0, 0);
}

std::int32_t TColorQuantizer::NewNode(int level, std::uint32_t path) {
  std::int32_t id;
  if (freeList_ >= 0) {
    id = freeList_;
    freeList_ = nodes_[static_cast<std::size_t>(id)].NextReducible;
    nodes_[static_cast<std::size_t>(id)] = TOctreeNode{};
  } else {
    id = static_cast<std::int32_t>(nodes_.size());
    nodes_.emplace_back();
  }
  TOctreeNode& node = nodes_[static_cast<std::size_t>(id)];
  node.Path = path;
  if (level == colorBits_) {
    node.IsLeaf = true;
    ++leafCount_;
  } else {
    node.NextReducible = reducible_[level];
    reducible_[level] = id;
  }
  return id;
}

void TColorQuantizer::FlushPending() {
  for (std::uint32_t slot : dirtySlots_) {
    LeafCacheSlot& cached = leafCache_[slot];
    TOctreeNode& leaf = nodes_[static_cast<std::size_t>(cached.leaf)];
    leaf.PixelCount += cached.pending;
    leaf.RedSum += std::uint64_t{cached.key >> 16} * cached.pending;
    leaf.GreenSum += std::uint64_t{(cached.key >> 8) & 0xFF} * cached.pending;
    leaf.BlueSum += std::uint64_t{cached.key & 0xFF} * cached.pending;
    cached.pending = 0;
  }
  dirtySlots_.clear();
}

void TColorQuantizer::InsertColor(std::uint8_t red, std::uint8_t green, std::uint8_t blue, std::uint32_t count,
                                  std::uint32_t slot) {
  if (leafCache_[slot].pending != 0) FlushPending();
  const std::uint32_t path = OctreePath(red, green, blue);
  const std::int32_t shortcut = shortcut_[path >> (kPathBits - 3 * kShortcutLevels)];
  const std::int32_t id = shortcut >= 0 ? shortcut : Descend(path);
  TOctreeNode& leaf = nodes_[static_cast<std::size_t>(id)];
  leaf.PixelCount += count;
  leaf.RedSum += std::uint64_t{red} * count, leaf.GreenSum += std::uint64_t{green} * count;
  leaf.BlueSum += std::uint64_t{blue} * count;
  leafCache_[slot] = LeafCacheSlot{RGBKey(red, green, blue), id, generation_, 0};
  if (leafCount_ > maxColors_) {
    FlushPending();
    while (leafCount_ > maxColors_) Reduce();
  }
}

// The leaf of the path, creating the nodes it lacks.
std::int32_t TColorQuantizer::Descend(std::uint32_t path) {
  std::int32_t id = root_;
  int level = 0;
  for (; !nodes_[static_cast<std::size_t>(id)].IsLeaf; ++level) {
    const int child = static_cast<int>((path >> (kPathBits - 3 * (level + 1))) & 7u);
    std::int32_t next = nodes_[static_cast<std::size_t>(id)].Children[child];
    if (next < 0) {
      next = NewNode(level + 1, PathPrefix(path, level + 1));  // may move nodes_: index again below
      nodes_[static_cast<std::size_t>(id)].Children[child] = next;
    }
    id = next;
  }
  if (level <= kShortcutLevels) shortcut_[path >> (kPathBits - 3 * kShortcutLevels)] = id;
  return id;
}

void TColorQuantizer::Reduce() {
  int level = colorBits_ - 1;
  while (level > 0 && reducible_[level] < 0) --level;
  const std::int32_t id = reducible_[level];
  if (id < 0) {  // nothing left to fold: the root is a leaf already
    maxColors_ = leafCount_;
    return;
  }
  TOctreeNode& node = nodes_[static_cast<std::size_t>(id)];
  reducible_[level] = node.NextReducible;
  int children = 0;
  for (std::int32_t& childId : node.Children) {
    if (childId < 0) continue;
    TOctreeNode& child = nodes_[static_cast<std::size_t>(childId)];
    node.PixelCount += child.PixelCount;
    node.RedSum += child.RedSum, node.GreenSum += child.GreenSum, node.BlueSum += child.BlueSum;
    child.NextReducible = freeList_;
    freeList_ = childId;
    childId = -1;
    ++children;
  }
  node.IsLeaf = true;
  leafCount_ -= children - 1;
  if (level < kShortcutLevels) {  // its children may have been shortcuts
    const int below = 3 * (kShortcutLevels - level);
    const auto first = shortcut_.begin() + (node.Path >> (kPathBits - 3 * kShortcutLevels));
    std::fill(first, first + (std::ptrdiff_t{1} << below), -1);
  }
  ++generation_;  // cached leaves may have been folded away
}

void TColorQuantizer::ProcessImage(const TRaster& image) {
  switch (image.PixelFormat()) {
    case TPixelFormat::pf15bit:
    case TPixelFormat::pf16bit:
    case TPixelFormat::pf32bit: return;
    default: break;
  }
  std::vector<std::uint8_t> bgr(static_cast<std::size_t>(image.Width()) * 3);
  for (int y = 0; y < image.Height(); ++y) {
    const std::uint8_t* p = image.PixelFormat() == TPixelFormat::pf24bit ? image.ScanLine(y) : bgr.data();
    if (p == bgr.data()) image.DecodeRowBGR(y, bgr.data());
    for (int x = 0, width = image.Width(); x < width; ++x, p += 3) AddColor(p[2], p[1], p[0]);
  }
}

void TColorQuantizer::CollectColors(std::int32_t id, std::vector<TColor>& table) const {
  const TOctreeNode& node = nodes_[static_cast<std::size_t>(id)];
  if (node.IsLeaf) {
    if (node.PixelCount > 0 && table.size() < 256) {
      table.push_back(RGBColor(MeanRoundedToEven(node.RedSum, node.PixelCount),
                               MeanRoundedToEven(node.GreenSum, node.PixelCount),
                               MeanRoundedToEven(node.BlueSum, node.PixelCount)));
    }
    return;
  }
  for (std::int32_t child : node.Children) {
    if (child >= 0) CollectColors(child, table);
  }
}

std::vector<TColor> TColorQuantizer::ColorTable() {
  FlushPending();
  std::vector<TColor> table;
  if (leafCount_ > 0) CollectColors(root_, table);
  return table;
}

}  // namespace pagewell
