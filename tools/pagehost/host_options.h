#pragma once
// The page host's command line:
//
//   pagehost [--page-url URL | --no-page-url] [--refuse-site] SCRIPT [ARG...]
//
// The page's address is URL, or by default the page host's own address for
// the script (pageAddressFor); --no-page-url gives a page whose address the
// control cannot learn. The control's question whether the page's site may
// use it is answered "Always allow", or "Deny" with --refuse-site.
#include <optional>
#include <string>
#include <vector>

namespace pagehost {

struct HostOptions {
  std::wstring pageUrl;  // empty: a page without an address
  bool refuseSite = false;
  std::wstring script;
  std::vector<std::wstring> scriptArguments;
};

// The options, or nothing when the command line is not one of the above.
std::optional<HostOptions> parseHostOptions(const std::vector<std::wstring>& arguments);

// "http://pagehost.test/NAME", NAME the script's file name: a site of the
// page host's own that no real page has (.test is reserved for testing).
std::wstring pageAddressFor(const std::wstring& scriptPath);

}  // namespace pagehost
