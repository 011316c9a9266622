#pragma once
// The bytes of a whole TIFF file as the readers see them: a pointer and a
// size, so that a file held in a vector and a file mapped into memory are
// read alike. The bytes stay owned by the caller.
#include <cstddef>
#include <cstdint>
#include <vector>

namespace pagewell {

struct TTiffFileBytes {
  const std::uint8_t* data = nullptr;
  std::size_t size = 0;

  TTiffFileBytes() = default;
  TTiffFileBytes(const std::uint8_t* bytes, std::size_t count) : data(bytes), size(count) {}
  TTiffFileBytes(const std::vector<std::uint8_t>& file) : data(file.data()), size(file.size()) {}  // NOLINT: a vector is a file
};

}  // namespace pagewell
