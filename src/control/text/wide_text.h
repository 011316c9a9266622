#pragma once
// Conversions between the automation interface's UTF-16 strings and the
// narrow texts used elsewhere (UTF-8 inside the program, the ANSI code page
// toward the network and the platform's A functions).
#include <string>
#include <string_view>

namespace pagewell {

std::wstring wideFromUtf8(std::string_view text);
std::string utf8FromWide(std::wstring_view text);
std::string ansiFromWide(std::wstring_view text);
std::wstring wideFromAnsi(std::string_view text);
std::wstring lowerCase(std::wstring_view text);

}  // namespace pagewell
