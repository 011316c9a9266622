#pragma once
// A small deterministic hash, so that whatever varies from page to page
// (wording, figures, dust) is the same every time the page is scanned.
#include <cstdint>

namespace virtual_scanner {

inline std::uint32_t PageHash(std::uint32_t a, std::uint32_t b) {
  std::uint32_t h = a * 0x9E3779B1u ^ (b + 0x7F4A7C15u + (a << 6) + (a >> 2));
  h ^= h >> 15;
  h *= 0x85EBCA6Bu;
  h ^= h >> 13;
  return h;
}

}  // namespace virtual_scanner
