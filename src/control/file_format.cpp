#include "file_format.h"

#include "text/wide_text.h"

namespace pagewell {

std::optional<std::wstring> storedFileFormat(std::wstring_view value) {
  static const wchar_t* const kStored[] = {L"FileName", L"BMP", L"TIF", L"GIF", L"PSD",
                                           L"JPG",      L"PNG", L"PCX", L"WBM", L"PDF"};
  std::wstring lower = lowerCase(value);
  for (const wchar_t* stored : kStored) {
    if (lower == lowerCase(stored)) return std::wstring(stored);
  }
  return std::nullopt;
}

// The extension starts at the last dot after the last path or drive
// separator, as the platform's file-name functions split it.
std::wstring outputExtension(std::wstring_view fileName) {
  static const wchar_t* const kOutput[] = {L".tif", L".pdf", L".jpg", L".bmp", L".gif",
                                           L".pcx", L".png", L".wbm", L".psd"};
  size_t dot = fileName.find_last_of(L".\\/:");
  if (dot == std::wstring_view::npos || fileName[dot] != L'.') return {};
  std::wstring extension = lowerCase(fileName.substr(dot));
  for (const wchar_t* output : kOutput) {
    if (extension == output) return extension;
  }
  return {};
}

}  // namespace pagewell
