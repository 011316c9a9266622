// Feeds arbitrary bytes to the PNG reader. Any input must end in a picture
// or an EInvalidGraphic/ERasterError, never a crash, an out-of-bounds access
// or a runaway allocation.
//
// Random mutations almost never keep a chunk's CRC right, which would stop
// every input at the CRC check; so the CRC of each complete chunk is
// recomputed before reading (the CRC check itself is covered by the tests).
#include <cstddef>
#include <cstdint>
#include <vector>

#include "formats/png/png_chunk.h"
#include "formats/png/png_image.h"
#include "imaging/errors.h"

namespace {

std::uint32_t BigEndian32(const std::uint8_t* p) {
  return static_cast<std::uint32_t>(p[0]) << 24 | static_cast<std::uint32_t>(p[1]) << 16 |
         static_cast<std::uint32_t>(p[2]) << 8 | p[3];
}

void FixChunkCrcs(std::vector<std::uint8_t>& file) {
  std::size_t offset = 8;
  while (offset + 12 <= file.size()) {
    const std::uint32_t length = BigEndian32(&file[offset]);
    if (length > file.size() - offset - 12) return;
    const std::uint32_t crc =
        pagewell::PngChunkCrc(reinterpret_cast<const char*>(&file[offset + 4]), &file[offset + 8], length);
    std::uint8_t* field = &file[offset + 8 + length];
    field[0] = static_cast<std::uint8_t>(crc >> 24), field[1] = static_cast<std::uint8_t>(crc >> 16);
    field[2] = static_cast<std::uint8_t>(crc >> 8), field[3] = static_cast<std::uint8_t>(crc);
    offset += 12 + length;
  }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  std::vector<std::uint8_t> file(data, data + size);
  FixChunkCrcs(file);
  pagewell::TMemoryStream stream(std::move(file));
  pagewell::ToxPNGImage png;
  try {
    png.LoadFromStream(stream);
  } catch (const pagewell::EInvalidGraphic&) {
  } catch (const pagewell::ERasterError&) {
  }
  return 0;
}
