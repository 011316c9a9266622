#include "base64.h"

namespace pagewell::service {
namespace {

const char kAlphabet[] = "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789+/";

int valueOf(char c) {
  if (c >= 'A' && c <= 'Z') return c - 'A';
  if (c >= 'a' && c <= 'z') return c - 'a' + 26;
  if (c >= '0' && c <= '9') return c - '0' + 52;
  if (c == '+') return 62;
  if (c == '/') return 63;
  return -1;
}

}  // namespace

std::string base64Encode(const uint8_t* data, size_t size) {
  std::string text;
  text.reserve((size + 2) / 3 * 4);
  for (size_t i = 0; i < size; i += 3) {
    uint32_t group = uint32_t(data[i]) << 16;
    if (i + 1 < size) group |= uint32_t(data[i + 1]) << 8;
    if (i + 2 < size) group |= data[i + 2];
    text += kAlphabet[(group >> 18) & 63];
    text += kAlphabet[(group >> 12) & 63];
    text += i + 1 < size ? kAlphabet[(group >> 6) & 63] : '=';
    text += i + 2 < size ? kAlphabet[group & 63] : '=';
  }
  return text;
}

std::optional<std::vector<uint8_t>> base64Decode(std::string_view text) {
  if (text.size() % 4 != 0) return std::nullopt;
  std::vector<uint8_t> bytes;
  for (size_t i = 0; i < text.size(); i += 4) {
    bool last = i + 4 == text.size();
    int padding = last ? (text[i + 3] == '=') + (text[i + 2] == '=') : 0;
    if (padding == 1 && text[i + 2] == '=') return std::nullopt;
    uint32_t group = 0;
    for (int j = 0; j < 4; ++j) {
      int value = j >= 4 - padding ? 0 : valueOf(text[i + j]);
      if (value < 0) return std::nullopt;
      group = group << 6 | uint32_t(value);
    }
    // Canonical: the bits that padding leaves over are zero.
    if ((padding == 1 && (group & 0xFF)) || (padding == 2 && (group & 0xFFFF))) return std::nullopt;
    bytes.push_back(uint8_t(group >> 16));
    if (padding < 2) bytes.push_back(uint8_t(group >> 8));
    if (padding < 1) bytes.push_back(uint8_t(group));
  }
  return bytes;
}

}  // namespace pagewell::service
