#pragma once
// The origin rules of the site lock (portable, no Windows): which page
// addresses the machine policy's list of allowed origins lets the control
// work in.
//
// A page's origin is its scheme, host and port (RFC 6454), compared without
// regard to case, with a missing port meaning the scheme's default. Only
// http and https pages have an origin here; anything else (file:, about:, an
// address that does not parse) is never allowed.
//
// A policy entry is an exact origin ("https://intranet.example.com",
// "http://scan.example.com:8080") or a wildcard one ("https://*.example.com")
// that allows every subdomain of example.com, at any depth, but not
// example.com itself. An entry that does not parse allows nothing.
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace pagewell {

struct Origin {
  std::string scheme;  // "http" or "https"
  std::string host;    // lower case
  int port = 0;        // always given; the default port when the address has none

  bool operator==(const Origin& other) const {
    return scheme == other.scheme && host == other.host && port == other.port;
  }
};

// The origin of a page address such as "https://Intranet.example.com/scan?x=1",
// or nothing for an address without one.
std::optional<Origin> originOfAddress(std::string_view address);

// "https://intranet.example.com", or with ":port" when it is not the
// scheme's default.
std::string originText(const Origin& origin);

// The policy's entries from the strings of its multi-string value: each
// string holds one or more entries separated by white space (the installer
// writes its ALLOWEDORIGINS property as one string).
std::vector<std::string> policyEntries(const std::vector<std::string>& values);

// Whether the page at `address` is allowed by one of `entries`.
bool isAddressAllowed(std::string_view address, const std::vector<std::string>& entries);

}  // namespace pagewell
