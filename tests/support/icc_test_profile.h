#pragma once
// A small ICC profile for the metadata tests of every codec that carries one.
#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

namespace pagewell::testing {

// A small, valid ICC profile (header and a description tag) padded with
// zeros to `size` bytes.
inline std::vector<std::uint8_t> TestIccProfile(std::size_t size = 0) {
  auto u32 = [](std::vector<std::uint8_t>& v, std::size_t at, std::uint32_t x) {
    v[at] = static_cast<std::uint8_t>(x >> 24), v[at + 1] = static_cast<std::uint8_t>(x >> 16);
    v[at + 2] = static_cast<std::uint8_t>(x >> 8), v[at + 3] = static_cast<std::uint8_t>(x);
  };
  auto text = [](std::vector<std::uint8_t>& v, std::size_t at, const std::string& s) {
    std::copy(s.begin(), s.end(), v.begin() + static_cast<std::ptrdiff_t>(at));
  };
  const std::string description = "Pagewell test";
  const std::size_t descSize = 12 + description.size() + 1 + 4 + 4 + 2 + 1 + 67;
  std::vector<std::uint8_t> p(std::max(size, 128 + 4 + 12 + descSize), 0);
  u32(p, 0, static_cast<std::uint32_t>(p.size()));
  u32(p, 8, 0x02100000);  // version 2.1
  text(p, 12, "mntr");
  text(p, 16, "RGB ");
  text(p, 20, "XYZ ");
  text(p, 36, "acsp");
  u32(p, 68, 0x0000F6D6), u32(p, 72, 0x00010000), u32(p, 76, 0x0000D32D);  // D50
  u32(p, 128, 1);
  text(p, 132, "desc");
  u32(p, 136, 144), u32(p, 140, static_cast<std::uint32_t>(descSize));
  text(p, 144, "desc");
  u32(p, 152, static_cast<std::uint32_t>(description.size() + 1));
  text(p, 156, description);
  return p;
}

}  // namespace pagewell::testing
