#pragma once
// TICCProfile: the bytes of an ICC colour profile that travels with a page.
// How a file format carries it (APP2 chunks in JPEG, one tag in TIFF) is the
// business of that format's codec.
#include <cstdint>
#include <vector>

namespace pagewell {

struct TICCProfile {
  std::vector<std::uint8_t> Data;

  bool Empty() const { return Data.empty(); }
  void Clear() { Data.clear(); }
  bool operator==(const TICCProfile& other) const { return Data == other.Data; }
};

}  // namespace pagewell
