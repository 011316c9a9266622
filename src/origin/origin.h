#pragma once
// A web page's origin (RFC 6454): scheme, host and port. Two pages share an
// origin exactly when these three are equal; here they are kept normalised
// so that equality is plain comparison: the scheme and host in lower case,
// the host in the canonical form of host.h, and the port always given (the
// scheme's default when the text has none). Only http and https pages have
// an origin; anything else (file:, about:, data:, "null") has none.
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

#include "origin/parsed.h"

namespace pagewell {

struct Origin {
  std::string scheme;  // "http" or "https"
  std::string host;    // "shop.example.com", "192.168.0.10", "[::1]"
  std::uint16_t port = 0;

  bool operator==(const Origin& other) const {
    return scheme == other.scheme && host == other.host && port == other.port;
  }
  bool operator!=(const Origin& other) const { return !(*this == other); }
};

// An origin as browsers send it in the Origin header:
// scheme "://" host [":" port], and nothing else (no path, not even "/").
Parsed<Origin> parseOrigin(std::string_view text);

// The origin of a page address such as "https://Intranet.example.com/scan?x=1":
// what follows the host and port (path, query, fragment) is not part of it.
Parsed<Origin> parseAddressOrigin(std::string_view address);

// The same, for callers that need no reason.
std::optional<Origin> originOfAddress(std::string_view address);

// "https://intranet.example.com", with ":port" when it is not the scheme's
// default: the serialisation browsers send.
std::string originText(const Origin& origin);

}  // namespace pagewell
