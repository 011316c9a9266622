#pragma once
// Photoshop image resources ("8BIM" blocks): the resource list of an APP13
// segment and of a PSD file's image resource section.
#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

namespace pagewell {

struct TBIMSegment {
  std::uint16_t Id = 0;
  std::string Name;  // the Pascal-string name, usually empty
  std::vector<std::uint8_t> Data;

  bool operator==(const TBIMSegment& other) const {
    return Id == other.Id && Name == other.Name && Data == other.Data;
  }
};

using TBIMList = std::vector<TBIMSegment>;

// Resource ids the file information uses.
constexpr std::uint16_t kIptcResourceId = 0x0404;
constexpr std::uint16_t kUrlResourceId = 0x040B;

// Each resource as "8BIM", its id, its name as a Pascal string padded to
// an even length, its data size and the data padded to an even length,
// everything big-endian.
std::vector<std::uint8_t> SavePhotoshopResources(const TBIMList& resources);
// The resources of such a block, up to the first one that is cut short or
// malformed (what follows it cannot be found reliably).
TBIMList LoadPhotoshopResources(const std::uint8_t* data, std::size_t size);

}  // namespace pagewell
