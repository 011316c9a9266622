#include "file_format.h"

#include "formats/format_code.h"
#include "text/wide_text.h"

namespace pagewell {
namespace {

// The extension starts at the last dot after the last path or drive
// separator, as the platform's file-name functions split it.
std::wstring_view extensionOf(std::wstring_view fileName) {
  size_t dot = fileName.find_last_of(L".\\/:");
  if (dot == std::wstring_view::npos || fileName[dot] != L'.') return {};
  return fileName.substr(dot);
}

// Extensions are ASCII; any other character keeps the text from matching.
std::string upperCaseAscii(std::wstring_view text) {
  std::string upper;
  for (wchar_t c : text) {
    if (c >= L'a' && c <= L'z') c = static_cast<wchar_t>(c - L'a' + L'A');
    upper += c < 0x80 ? static_cast<char>(c) : '?';
  }
  return upper;
}

}  // namespace

std::optional<std::wstring> storedFileFormat(std::wstring_view value) {
  static const wchar_t* const kStored[] = {L"FileName", L"BMP", L"TIF", L"GIF", L"PSD",
                                           L"JPG",      L"PNG", L"PCX", L"WBM", L"PDF"};
  std::wstring lower = lowerCase(value);
  for (const wchar_t* stored : kStored) {
    if (lower == lowerCase(stored)) return std::wstring(stored);
  }
  return std::nullopt;
}

std::wstring outputExtension(std::wstring_view fileName) {
  static const wchar_t* const kOutput[] = {L".tif", L".pdf", L".jpg", L".bmp", L".gif",
                                           L".pcx", L".png", L".wbm", L".psd"};
  std::wstring extension = lowerCase(extensionOf(fileName));
  for (const wchar_t* output : kOutput) {
    if (extension == output) return extension;
  }
  return {};
}

int ResolveFileFormat(std::wstring_view fileFormat, std::wstring_view fileName) {
  int code = FormatForExtension("." + upperCaseAscii(fileFormat));
  if (code == fcNone) code = FormatForExtension(upperCaseAscii(extensionOf(fileName)));
  return code == fcNone ? fcPDF : code;
}

}  // namespace pagewell
