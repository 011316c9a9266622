#include "formats/png/png_chunk.h"

#include <zlib.h>

namespace pagewell {

std::uint32_t PngChunkCrc(const char type[4], const std::uint8_t* data, std::size_t length) {
  uLong crc = crc32(0L, Z_NULL, 0);
  crc = crc32(crc, reinterpret_cast<const Bytef*>(type), 4);
  // zlib takes lengths as uInt: feed large chunks in pieces.
  while (length > 0) {
    const uInt piece = static_cast<uInt>(length > 0x40000000u ? 0x40000000u : length);
    crc = crc32(crc, data, piece);
    data += piece, length -= piece;
  }
  return static_cast<std::uint32_t>(crc);
}

void WritePngChunk(TMemoryStream& out, const char type[4], const std::uint8_t* data, std::size_t length) {
  out.WriteU32BE(static_cast<std::uint32_t>(length));
  out.Write(type, 4);
  out.Write(data, length);
  out.WriteU32BE(PngChunkCrc(type, data, length));
}

}  // namespace pagewell
