#pragma once
// UTF-8 (RFC 3629): the text of WebSocket text messages and JSON strings.
#include <cstdint>
#include <string>
#include <string_view>

namespace pagewell::service {

// Shortest forms only, no surrogates, nothing above U+10FFFF.
bool isValidUtf8(std::string_view bytes);
void appendUtf8(std::string& out, uint32_t codePoint);

}  // namespace pagewell::service
