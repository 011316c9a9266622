#pragma once
// Base64 (RFC 4648 section 4, with padding): the handshake's keys.
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace pagewell::service {

std::string base64Encode(const uint8_t* data, size_t size);
// The decoded bytes, or nothing when the text is not canonical padded base64.
std::optional<std::vector<uint8_t>> base64Decode(std::string_view text);

}  // namespace pagewell::service
