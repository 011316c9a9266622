#pragma once
// UTF-8 (the protocol's text) to UTF-16 (Windows' text) and back.
#include <string>
#include <string_view>

namespace pagewell::service {

std::wstring widen(std::string_view utf8);
std::string narrow(std::wstring_view utf16);

}  // namespace pagewell::service
