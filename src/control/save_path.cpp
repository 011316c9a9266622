#include "save_path.h"

#include <algorithm>
#include <cwctype>

namespace pagewell {
namespace {

const wchar_t kOutside[] = L"The file name must name a file inside the documents folder";

bool isSeparator(wchar_t c) { return c == L'\\' || c == L'/'; }

bool forbiddenCharacter(wchar_t c) { return c < 32 || std::wstring_view(L"<>\"|?*").find(c) != std::wstring_view::npos; }

std::wstring upperCase(std::wstring_view text) {
  std::wstring upper(text);
  std::transform(upper.begin(), upper.end(), upper.begin(), [](wchar_t c) { return std::towupper(c); });
  return upper;
}

// The platform opens the device for these names whatever extension follows.
bool reservedDeviceName(std::wstring_view component) {
  std::wstring_view base = component.substr(0, component.find(L'.'));
  while (!base.empty() && base.back() == L' ') base.remove_suffix(1);
  const std::wstring upper = upperCase(base);
  if (upper == L"CON" || upper == L"PRN" || upper == L"AUX" || upper == L"NUL" || upper == L"CONIN$" ||
      upper == L"CONOUT$")
    return true;
  return upper.size() == 4 && (upper.rfind(L"COM", 0) == 0 || upper.rfind(L"LPT", 0) == 0) && upper[3] >= L'1' &&
         upper[3] <= L'9';
}

std::vector<std::wstring_view> components(std::wstring_view name) {
  std::vector<std::wstring_view> parts;
  size_t start = 0;
  for (size_t i = 0; i <= name.size(); ++i) {
    if (i == name.size() || isSeparator(name[i])) {
      parts.push_back(name.substr(start, i - start));
      start = i + 1;
    }
  }
  return parts;
}

SavePath refused(std::wstring message) {
  SavePath result;
  result.error = std::move(message);
  return result;
}

}  // namespace

SavePath ResolveSavePath(std::wstring_view documentsFolder, std::wstring_view fileName) {
  if (documentsFolder.empty()) return refused(L"The documents folder is not available");
  if (fileName.empty()) return refused(L"The file name is empty");
  // A colon names a drive ("C:x") or a stream of a file ("a.pdf:x"); a
  // leading separator a rooted or UNC path.
  if (fileName.find(L':') != std::wstring_view::npos || isSeparator(fileName.front())) return refused(kOutside);
  if (std::any_of(fileName.begin(), fileName.end(), forbiddenCharacter))
    return refused(L"The file name holds a character that file names cannot hold");

  const std::vector<std::wstring_view> parts = components(fileName);
  if (parts.back().empty() || parts.back() == L"." || parts.back() == L"..")
    return refused(L"The file name names a folder, not a file");
  std::vector<std::wstring_view> resolved;
  for (std::wstring_view part : parts) {
    if (part.empty() || part == L".") continue;
    if (part == L"..") {
      if (resolved.empty()) return refused(kOutside);
      resolved.pop_back();
      continue;
    }
    // The platform drops trailing dots and spaces, so such a name would
    // not be the name asked for.
    if (part.back() == L'.' || part.back() == L' ')
      return refused(L"The file name has a part that ends with a dot or a space");
    if (reservedDeviceName(part))
      return refused(L"The file name \"" + std::wstring(part) + L"\" is reserved for a device");
    resolved.push_back(part);
  }

  SavePath result;
  std::wstring path(documentsFolder);
  if (!isSeparator(path.back())) path += L'\\';
  for (size_t i = 0; i < resolved.size(); ++i) {
    if (i > 0) path += L'\\';
    path += resolved[i];
    if (i + 1 < resolved.size()) result.folders.push_back(path);
  }
  if (path.size() > kMaxPathLength) return refused(L"The file name is too long");
  result.path = std::move(path);
  return result;
}

}  // namespace pagewell
