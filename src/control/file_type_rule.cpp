#include "file_type_rule.h"

#include <algorithm>
#include <array>

namespace pagewell {
namespace {

// Types the shell runs, installs, merges or follows when the file is
// opened: programs and libraries, command and script files (batch,
// PowerShell, Windows Script Host, HTML applications), shortcuts, screen
// savers, installer packages, control panel items, registry files and Java
// archives.
constexpr std::array<std::wstring_view, 24> kRunnableTypes = {
    L"exe", L"com", L"bat", L"cmd", L"ps1", L"psm1", L"vbs", L"vbe", L"js",  L"jse", L"wsf", L"wsh",
    L"hta", L"lnk", L"url", L"scr", L"pif", L"msi", L"msp", L"dll", L"cpl", L"reg", L"jar", L"msc"};

bool isSeparator(wchar_t c) { return c == L'\\' || c == L'/'; }

// ASCII only: the types above are ASCII, and a non-ASCII letter that
// merely looks like one of them does not make the shell run the file.
wchar_t asciiLower(wchar_t c) { return c >= L'A' && c <= L'Z' ? static_cast<wchar_t>(c - L'A' + L'a') : c; }

std::wstring_view lastComponent(std::wstring_view name) {
  const auto separator = std::find_if(name.rbegin(), name.rend(), isSeparator);
  return name.substr(static_cast<size_t>(name.rend() - separator));
}

// What the file system keeps of a name: it drops trailing dots and spaces.
std::wstring_view asStored(std::wstring_view component) {
  while (!component.empty() && (component.back() == L'.' || component.back() == L' ')) component.remove_suffix(1);
  return component;
}

}  // namespace

std::optional<std::wstring> RefusedFileTypeMessage(std::wstring_view fileName) {
  const std::wstring_view stored = asStored(lastComponent(fileName));
  const size_t dot = stored.rfind(L'.');
  // ".hta" alone is a file of that type with an empty name: the dot may be
  // the first character.
  if (dot == std::wstring_view::npos || dot + 1 == stored.size())
    return L"The file name needs a type such as .pdf; a file without one is not written";
  std::wstring type(stored.substr(dot + 1));
  std::transform(type.begin(), type.end(), type.begin(), asciiLower);
  if (std::find(kRunnableTypes.begin(), kRunnableTypes.end(), type) == kRunnableTypes.end()) return std::nullopt;
  return L"The file type ." + type + L" is refused: Pagewell does not write programs or scripts";
}

}  // namespace pagewell
