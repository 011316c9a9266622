#include "text/wide_text.h"

#include <windows.h>

namespace pagewell {
namespace {

std::wstring toWide(UINT codePage, std::string_view text) {
  if (text.empty()) return {};
  int size = MultiByteToWideChar(codePage, 0, text.data(), static_cast<int>(text.size()), nullptr, 0);
  std::wstring result(static_cast<size_t>(size), L'\0');
  MultiByteToWideChar(codePage, 0, text.data(), static_cast<int>(text.size()), result.data(), size);
  return result;
}

std::string toNarrow(UINT codePage, std::wstring_view text) {
  if (text.empty()) return {};
  int size = WideCharToMultiByte(codePage, 0, text.data(), static_cast<int>(text.size()), nullptr, 0,
                                 nullptr, nullptr);
  std::string result(static_cast<size_t>(size), '\0');
  WideCharToMultiByte(codePage, 0, text.data(), static_cast<int>(text.size()), result.data(), size,
                      nullptr, nullptr);
  return result;
}

}  // namespace

std::wstring wideFromUtf8(std::string_view text) { return toWide(CP_UTF8, text); }
std::string utf8FromWide(std::wstring_view text) { return toNarrow(CP_UTF8, text); }
std::string ansiFromWide(std::wstring_view text) { return toNarrow(CP_ACP, text); }
std::wstring wideFromAnsi(std::string_view text) { return toWide(CP_ACP, text); }

std::wstring lowerCase(std::wstring_view text) {
  std::wstring result(text);
  if (!result.empty()) CharLowerBuffW(result.data(), static_cast<DWORD>(result.size()));
  return result;
}

}  // namespace pagewell
