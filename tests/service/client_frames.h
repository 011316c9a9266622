#pragma once
// Frames as a browser sends them: masked, with a fixed masking key.
#include <string>

#include "core/websocket_frame.h"

namespace pagewell::service {

inline std::string clientFrame(Opcode opcode, const std::string& payload, bool fin) {
  const unsigned char mask[4] = {0x37, 0xFA, 0x21, 0x3D};
  std::string frame;
  frame += static_cast<char>((fin ? 0x80 : 0) | static_cast<int>(opcode));
  size_t length = payload.size();
  if (length < 126) {
    frame += static_cast<char>(0x80 | length);
  } else if (length <= 0xFFFF) {
    frame += static_cast<char>(0x80 | 126);
    frame += static_cast<char>(length >> 8);
    frame += static_cast<char>(length & 0xFF);
  } else {
    frame += static_cast<char>(0x80 | 127);
    for (int shift = 56; shift >= 0; shift -= 8) frame += static_cast<char>(uint64_t(length) >> shift & 0xFF);
  }
  frame.append(reinterpret_cast<const char*>(mask), 4);
  for (size_t i = 0; i < length; ++i) frame += static_cast<char>(payload[i] ^ mask[i % 4]);
  return frame;
}

}  // namespace pagewell::service
