#include "formats/metadata/bim_segment.h"

#include <algorithm>
#include <cstring>

namespace pagewell {
namespace {

constexpr char kSignature[4] = {'8', 'B', 'I', 'M'};

void PutU16BE(std::vector<std::uint8_t>& out, std::uint32_t v) {
  out.push_back(static_cast<std::uint8_t>(v >> 8));
  out.push_back(static_cast<std::uint8_t>(v));
}

std::uint32_t U16BE(const std::uint8_t* p) { return static_cast<std::uint32_t>(p[0] << 8 | p[1]); }
std::uint32_t U32BE(const std::uint8_t* p) { return U16BE(p) << 16 | U16BE(p + 2); }

}  // namespace

std::vector<std::uint8_t> SavePhotoshopResources(const TBIMList& resources) {
  std::vector<std::uint8_t> out;
  for (const auto& r : resources) {
    out.insert(out.end(), kSignature, kSignature + 4);
    PutU16BE(out, r.Id);
    const std::size_t nameLength = std::min<std::size_t>(r.Name.size(), 255);
    out.push_back(static_cast<std::uint8_t>(nameLength));
    out.insert(out.end(), r.Name.begin(), r.Name.begin() + static_cast<std::ptrdiff_t>(nameLength));
    if ((nameLength + 1) % 2) out.push_back(0);
    const auto size = static_cast<std::uint32_t>(r.Data.size());
    PutU16BE(out, size >> 16);
    PutU16BE(out, size & 0xFFFF);
    out.insert(out.end(), r.Data.begin(), r.Data.end());
    if (size % 2) out.push_back(0);
  }
  return out;
}

TBIMList LoadPhotoshopResources(const std::uint8_t* data, std::size_t size) {
  TBIMList resources;
  std::size_t at = 0;
  while (size - at >= 4 + 2 + 2 + 4 && std::memcmp(data + at, kSignature, 4) == 0) {
    TBIMSegment r;
    r.Id = static_cast<std::uint16_t>(U16BE(data + at + 4));
    std::size_t p = at + 6;
    const std::size_t nameLength = data[p];
    const std::size_t nameField = (nameLength + 2) & ~std::size_t{1};  // length byte and name, even
    if (size - p < nameField + 4) break;
    r.Name.assign(reinterpret_cast<const char*>(data + p + 1), nameLength);
    p += nameField;
    const std::size_t dataSize = U32BE(data + p);
    p += 4;
    if (dataSize > size - p) break;
    r.Data.assign(data + p, data + p + dataSize);
    resources.push_back(std::move(r));
    p += dataSize;
    at = std::min(size, p + (dataSize % 2));
  }
  return resources;
}

}  // namespace pagewell
