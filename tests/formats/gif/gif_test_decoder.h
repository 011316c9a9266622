#pragma once
// A plain GIF decoder for the tests (first image only): it reads the
// structure and undoes the LZW code stream exactly as the GIF standard
// describes, so the encoder's output is checked by an independent reading
// that also runs where giflib is not installed.
#include <cstdint>
#include <stdexcept>
#include <string>
#include <vector>

#include "imaging/color.h"

namespace pagewell::testing {

struct TDecodedGif {
  std::string version;
  int width = 0, height = 0;
  std::vector<TColor> localMap;
  int minCodeSize = 0;
  bool hasGraphicControl = false, transparent = false;
  int transparentIndex = -1;
  std::vector<std::uint8_t> indices;
  std::vector<unsigned> codes;  // every code read, clear and end included
};

inline TDecodedGif DecodeGif(const std::vector<std::uint8_t>& f) {
  TDecodedGif g;
  std::size_t p = 0;
  auto need = [&](std::size_t n) {
    if (p + n > f.size()) throw std::runtime_error("truncated GIF");
  };
  auto u16 = [&]() { need(2); const unsigned v = f[p] | f[p + 1] << 8; p += 2; return v; };
  need(13);
  g.version.assign(f.begin(), f.begin() + 6);
  p = 6;
  u16(), u16();
  const std::uint8_t screenPacked = f[p];
  p += 3;
  if (screenPacked & 0x80) p += 3u << ((screenPacked & 7) + 1);
  for (;;) {
    need(1);
    const std::uint8_t introducer = f[p++];
    if (introducer == 0x21) {
      need(1);
      const std::uint8_t label = f[p++];
      if (label == 0xF9) {
        need(6);
        g.hasGraphicControl = true;
        g.transparent = f[p + 1] & 1;
        g.transparentIndex = f[p + 4];
      }
      for (;;) {  // skip the sub-blocks
        need(1);
        const std::uint8_t n = f[p++];
        if (n == 0) break;
        p += n;
      }
    } else if (introducer == 0x2C) {
      break;
    } else {
      throw std::runtime_error("unexpected GIF block");
    }
  }
  u16(), u16();
  g.width = static_cast<int>(u16());
  g.height = static_cast<int>(u16());
  need(1);
  const std::uint8_t packed = f[p++];
  if (packed & 0x80) {
    const std::size_t entries = std::size_t{1} << ((packed & 7) + 1);
    need(entries * 3);
    for (std::size_t i = 0; i < entries; ++i, p += 3) g.localMap.push_back(RGBColor(f[p], f[p + 1], f[p + 2]));
  }
  need(1);
  g.minCodeSize = f[p++];
  std::vector<std::uint8_t> data;
  for (;;) {
    need(1);
    const std::uint8_t n = f[p++];
    if (n == 0) break;
    need(n);
    data.insert(data.end(), f.begin() + p, f.begin() + p + n);
    p += n;
  }
  need(1);
  if (f[p] != 0x3B) throw std::runtime_error("no trailer");

  // LZW: the table holds (prefix code, last byte, length) for codes above end.
  const unsigned clear = 1u << g.minCodeSize, end = clear + 1;
  std::vector<int> prefix(4096, -1);
  std::vector<std::uint8_t> suffix(4096), first(4096);
  for (unsigned i = 0; i < clear; ++i) suffix[i] = first[i] = static_cast<std::uint8_t>(i);
  unsigned width = g.minCodeSize + 1, next = end + 1;
  int previous = -1;
  std::size_t bit = 0;
  std::vector<std::uint8_t> string;
  auto expand = [&](unsigned code) {
    string.clear();
    for (int c = static_cast<int>(code); c >= 0; c = prefix[c]) string.push_back(suffix[c]);
    g.indices.insert(g.indices.end(), string.rbegin(), string.rend());
  };
  for (;;) {
    if (bit + width > data.size() * 8) throw std::runtime_error("code stream ends without end code");
    unsigned code = 0;
    for (unsigned i = 0; i < width; ++i, ++bit) code |= ((data[bit / 8] >> (bit % 8)) & 1u) << i;
    g.codes.push_back(code);
    if (code == clear) {
      width = g.minCodeSize + 1, next = end + 1, previous = -1;
      continue;
    }
    if (code == end) break;
    if (previous < 0) {
      if (code >= clear) throw std::runtime_error("first code after clear is not a pixel");
      expand(code);
    } else {
      if (code > next) throw std::runtime_error("code beyond the table");
      if (next < 4096) {
        prefix[next] = previous;
        suffix[next] = code < next ? first[code] : first[previous];
        first[next] = first[previous];
      }
      expand(code);
      if (next < 4096) ++next;
      if (next == (1u << width) && width < 12) ++width;
    }
    previous = static_cast<int>(code);
  }
  return g;
}

}  // namespace pagewell::testing
