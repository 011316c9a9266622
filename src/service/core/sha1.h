#pragma once
// SHA-1 (FIPS 180-4), for the WebSocket handshake's accept key only: the
// handshake fixes the hash, nothing here relies on its strength.
#include <array>
#include <cstdint>
#include <string_view>

namespace pagewell::service {

std::array<uint8_t, 20> sha1(std::string_view message);

}  // namespace pagewell::service
