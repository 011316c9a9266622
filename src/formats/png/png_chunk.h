#pragma once
// PNG chunk framing: length (4 bytes, big-endian), the 4-letter type, the
// data and the CRC-32 of type and data (big-endian).
#include <cstddef>
#include <cstdint>
#include <vector>

#include "formats/memory_stream.h"

namespace pagewell {

constexpr std::uint8_t kPngSignature[8] = {137, 80, 78, 71, 13, 10, 26, 10};

std::uint32_t PngChunkCrc(const char type[4], const std::uint8_t* data, std::size_t length);
void WritePngChunk(TMemoryStream& out, const char type[4], const std::uint8_t* data, std::size_t length);
inline void WritePngChunk(TMemoryStream& out, const char type[4], const std::vector<std::uint8_t>& data) {
  WritePngChunk(out, type, data.data(), data.size());
}

}  // namespace pagewell
