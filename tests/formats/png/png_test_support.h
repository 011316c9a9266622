#pragma once
// Reading PNG files back chunk by chunk, and building PNG files from raw
// filtered rows, so the tests can check and feed the codec at byte level.
#include <zlib.h>

#include <string>
#include <vector>

#include "formats/memory_stream.h"
#include "formats/png/png_chunk.h"

namespace pagewell::testing {

struct TPngChunk {
  std::string type;
  std::vector<std::uint8_t> data;
};

inline std::uint32_t BigEndian32(const std::uint8_t* p) {
  return static_cast<std::uint32_t>(p[0]) << 24 | static_cast<std::uint32_t>(p[1]) << 16 |
         static_cast<std::uint32_t>(p[2]) << 8 | p[3];
}

// The chunks of a PNG file (signature and CRCs not checked here).
inline std::vector<TPngChunk> PngChunks(const std::vector<std::uint8_t>& file) {
  std::vector<TPngChunk> chunks;
  std::size_t offset = 8;
  while (offset + 12 <= file.size()) {
    const std::uint32_t length = BigEndian32(&file[offset]);
    TPngChunk chunk;
    chunk.type.assign(reinterpret_cast<const char*>(&file[offset + 4]), 4);
    chunk.data.assign(file.begin() + offset + 8, file.begin() + offset + 8 + length);
    chunks.push_back(chunk);
    offset += 12 + length;
  }
  return chunks;
}

inline const TPngChunk* FindChunk(const std::vector<TPngChunk>& chunks, const std::string& type) {
  for (const auto& c : chunks)
    if (c.type == type) return &c;
  return nullptr;
}

inline std::vector<std::uint8_t> Concatenated(const std::vector<TPngChunk>& chunks, const std::string& type) {
  std::vector<std::uint8_t> all;
  for (const auto& c : chunks)
    if (c.type == type) all.insert(all.end(), c.data.begin(), c.data.end());
  return all;
}

inline std::vector<std::uint8_t> InflateAll(const std::vector<std::uint8_t>& compressed, std::size_t expected) {
  std::vector<std::uint8_t> out(expected);
  uLongf length = static_cast<uLongf>(out.size());
  if (uncompress(out.data(), &length, compressed.data(), static_cast<uLong>(compressed.size())) != Z_OK) return {};
  out.resize(length);
  return out;
}

inline std::vector<std::uint8_t> DeflateAll(const std::vector<std::uint8_t>& raw) {
  uLongf length = compressBound(static_cast<uLong>(raw.size()));
  std::vector<std::uint8_t> out(length);
  compress(out.data(), &length, raw.data(), static_cast<uLong>(raw.size()));
  out.resize(length);
  return out;
}

inline std::vector<std::uint8_t> IhdrData(std::uint32_t width, std::uint32_t height, int depth, int colorType,
                                          int interlace = 0) {
  TMemoryStream s;
  s.WriteU32BE(width), s.WriteU32BE(height);
  for (int b : {depth, colorType, 0, 0, interlace}) s.WriteByte(static_cast<std::uint8_t>(b));
  return s.Bytes();
}

// A PNG file made of the given chunks, in order, after the signature.
inline std::vector<std::uint8_t> BuildPng(const std::vector<TPngChunk>& chunks) {
  TMemoryStream s;
  s.Write(kPngSignature, 8);
  for (const auto& c : chunks) WritePngChunk(s, c.type.c_str(), c.data);
  return s.Bytes();
}

// Recomputes the CRC of every complete chunk, as the fuzz target does before
// reading, so that a corpus file reaches the same code when replayed.
inline void FixChunkCrcs(std::vector<std::uint8_t>& file) {
  std::size_t offset = 8;
  while (offset + 12 <= file.size()) {
    const std::uint32_t length = BigEndian32(&file[offset]);
    if (length > file.size() - offset - 12) return;
    const std::uint32_t crc = PngChunkCrc(reinterpret_cast<const char*>(&file[offset + 4]), &file[offset + 8], length);
    for (int i = 0; i < 4; ++i) file[offset + 8 + length + i] = static_cast<std::uint8_t>(crc >> (24 - 8 * i));
    offset += 12 + length;
  }
}

}  // namespace pagewell::testing
