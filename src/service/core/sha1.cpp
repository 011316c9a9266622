#include "sha1.h"

#include <vector>

namespace pagewell::service {
namespace {

uint32_t rotateLeft(uint32_t value, int bits) { return (value << bits) | (value >> (32 - bits)); }

// FIPS 180-4 5.1.1: append the bit "1", zeros up to 448 mod 512 bits, then
// the message length in bits as a 64-bit big-endian number.
std::vector<uint8_t> padded(std::string_view message) {
  std::vector<uint8_t> bytes(message.begin(), message.end());
  uint64_t bitLength = static_cast<uint64_t>(message.size()) * 8;
  bytes.push_back(0x80);
  while (bytes.size() % 64 != 56) bytes.push_back(0);
  for (int shift = 56; shift >= 0; shift -= 8) bytes.push_back(static_cast<uint8_t>(bitLength >> shift));
  return bytes;
}

// FIPS 180-4 6.1.2: one 512-bit block into the running hash.
void compressBlock(const uint8_t* block, std::array<uint32_t, 5>& hash) {
  uint32_t w[80];
  for (int t = 0; t < 16; ++t)
    w[t] = uint32_t(block[4 * t]) << 24 | uint32_t(block[4 * t + 1]) << 16 | uint32_t(block[4 * t + 2]) << 8 |
           uint32_t(block[4 * t + 3]);
  for (int t = 16; t < 80; ++t) w[t] = rotateLeft(w[t - 3] ^ w[t - 8] ^ w[t - 14] ^ w[t - 16], 1);
  uint32_t a = hash[0], b = hash[1], c = hash[2], d = hash[3], e = hash[4];
  for (int t = 0; t < 80; ++t) {
    uint32_t f, k;
    if (t < 20) {
      f = (b & c) | (~b & d), k = 0x5A827999;
    } else if (t < 40) {
      f = b ^ c ^ d, k = 0x6ED9EBA1;
    } else if (t < 60) {
      f = (b & c) | (b & d) | (c & d), k = 0x8F1BBCDC;
    } else {
      f = b ^ c ^ d, k = 0xCA62C1D6;
    }
    uint32_t temp = rotateLeft(a, 5) + f + e + k + w[t];
    e = d, d = c, c = rotateLeft(b, 30), b = a, a = temp;
  }
  hash[0] += a, hash[1] += b, hash[2] += c, hash[3] += d, hash[4] += e;
}

}  // namespace

std::array<uint8_t, 20> sha1(std::string_view message) {
  std::array<uint32_t, 5> hash{0x67452301, 0xEFCDAB89, 0x98BADCFE, 0x10325476, 0xC3D2E1F0};
  std::vector<uint8_t> bytes = padded(message);
  for (size_t offset = 0; offset < bytes.size(); offset += 64) compressBlock(&bytes[offset], hash);
  std::array<uint8_t, 20> digest{};
  for (int i = 0; i < 20; ++i) digest[i] = static_cast<uint8_t>(hash[i / 4] >> (24 - 8 * (i % 4)));
  return digest;
}

}  // namespace pagewell::service
