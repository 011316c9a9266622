#include "host_options.h"

#include <windows.h>

#include <cctype>
#include <cstring>
#include <cwchar>

namespace pagehost {
namespace {

const wchar_t kOwnSite[] = L"http://pagehost.test/";

// The file name as a path segment: letters, digits and "-._~" as they are,
// every other byte of its UTF-8 escaped.
std::wstring pathSegment(const std::wstring& name) {
  int size = WideCharToMultiByte(CP_UTF8, 0, name.data(), static_cast<int>(name.size()), nullptr, 0, nullptr, nullptr);
  std::string bytes(static_cast<size_t>(size > 0 ? size : 0), '\0');
  WideCharToMultiByte(CP_UTF8, 0, name.data(), static_cast<int>(name.size()), bytes.data(), size, nullptr, nullptr);
  std::wstring segment;
  for (unsigned char c : bytes) {
    if (std::isalnum(c) || std::strchr("-._~", c)) {
      segment += static_cast<wchar_t>(c);
    } else {
      wchar_t escaped[4];
      std::swprintf(escaped, 4, L"%%%02X", c);
      segment += escaped;
    }
  }
  return segment;
}

}  // namespace

std::wstring pageAddressFor(const std::wstring& scriptPath) {
  size_t slash = scriptPath.find_last_of(L"/\\");
  return kOwnSite + pathSegment(slash == std::wstring::npos ? scriptPath : scriptPath.substr(slash + 1));
}

std::optional<HostOptions> parseHostOptions(const std::vector<std::wstring>& arguments) {
  HostOptions options;
  bool addressGiven = false, noAddress = false;
  size_t next = 0;
  for (; next < arguments.size() && arguments[next].rfind(L"--", 0) == 0; ++next) {
    const std::wstring& option = arguments[next];
    if (option == L"--page-url" && next + 1 < arguments.size() && !addressGiven) {
      options.pageUrl = arguments[++next];
      addressGiven = true;
    } else if (option == L"--no-page-url") {
      noAddress = true;
    } else if (option == L"--refuse-site") {
      options.refuseSite = true;
    } else {
      return std::nullopt;
    }
  }
  if (next == arguments.size() || (addressGiven && noAddress)) return std::nullopt;
  options.script = arguments[next];
  options.scriptArguments.assign(arguments.begin() + static_cast<std::ptrdiff_t>(next) + 1, arguments.end());
  if (!addressGiven && !noAddress) options.pageUrl = pageAddressFor(options.script);
  return options;
}

}  // namespace pagehost
