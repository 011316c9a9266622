#include "allowed_origins.h"

#include <algorithm>
#include <cctype>

namespace pagewell {
namespace {

std::string lowerCase(std::string_view text) {
  std::string lower(text);
  std::transform(lower.begin(), lower.end(), lower.begin(),
                 [](unsigned char c) { return static_cast<char>(std::tolower(c)); });
  return lower;
}

int defaultPort(std::string_view scheme) { return scheme == "https" ? 443 : 80; }

bool isDigits(std::string_view text) {
  return !text.empty() && std::all_of(text.begin(), text.end(), [](unsigned char c) { return std::isdigit(c); });
}

// A DNS name or dotted address: labels of letters, digits and hyphens
// separated by single dots. Anything else (spaces, "%", "_", empty labels,
// IPv6 literals) makes the address unusable for the lock.
bool isHostName(std::string_view host) {
  if (host.empty() || host.size() > 253) return false;
  size_t labelLength = 0;
  for (char c : host) {
    if (c == '.') {
      if (labelLength == 0) return false;
      labelLength = 0;
    } else if (std::isalnum(static_cast<unsigned char>(c)) || c == '-') {
      ++labelLength;
    } else {
      return false;
    }
  }
  return labelLength > 0;
}

// "host[:port]" into its parts; the port must be 1..65535 when written.
bool splitHostAndPort(std::string_view authority, std::string_view scheme, std::string_view& host, int& port) {
  size_t colon = authority.rfind(':');
  host = authority.substr(0, colon);
  port = defaultPort(scheme);
  if (colon == std::string_view::npos) return true;
  std::string_view digits = authority.substr(colon + 1);
  if (!isDigits(digits) || digits.size() > 5) return false;
  port = std::stoi(std::string(digits));
  return port >= 1 && port <= 65535;
}

// The scheme and the authority of "scheme://authority/rest", the scheme
// lower-cased; false when the address does not have that shape or its scheme
// is neither http nor https.
bool splitAddress(std::string_view address, std::string& scheme, std::string_view& authority) {
  size_t separator = address.find("://");
  if (separator == std::string_view::npos) return false;
  scheme = lowerCase(address.substr(0, separator));
  if (scheme != "http" && scheme != "https") return false;
  std::string_view rest = address.substr(separator + 3);
  authority = rest.substr(0, rest.find_first_of("/?#"));
  return true;
}

// A parsed policy entry; for "scheme://*.suffix[:port]" subdomains is set
// and the origin's host holds the suffix.
struct PolicyEntry {
  Origin origin;
  bool subdomains = false;
};

std::optional<PolicyEntry> parseEntry(std::string_view entry) {
  // An origin has no path; a single closing "/" is forgiven.
  if (!entry.empty() && entry.back() == '/') entry.remove_suffix(1);
  PolicyEntry parsed;
  std::string_view authority, host;
  if (!splitAddress(entry, parsed.origin.scheme, authority)) return std::nullopt;
  if (authority.size() != entry.size() - parsed.origin.scheme.size() - 3) return std::nullopt;
  if (!splitHostAndPort(authority, parsed.origin.scheme, host, parsed.origin.port)) return std::nullopt;
  if (host.substr(0, 2) == "*.") {
    parsed.subdomains = true;
    host.remove_prefix(2);
  }
  if (!isHostName(host)) return std::nullopt;
  parsed.origin.host = lowerCase(host);
  return parsed;
}

bool hostMatches(const std::string& host, const PolicyEntry& entry) {
  if (!entry.subdomains) return host == entry.origin.host;
  const std::string& suffix = entry.origin.host;
  return host.size() > suffix.size() + 1 && host.compare(host.size() - suffix.size(), suffix.size(), suffix) == 0 &&
         host[host.size() - suffix.size() - 1] == '.';
}

bool entryAllows(const PolicyEntry& entry, const Origin& page) {
  return entry.origin.scheme == page.scheme && entry.origin.port == page.port && hostMatches(page.host, entry);
}

}  // namespace

std::optional<Origin> originOfAddress(std::string_view address) {
  Origin origin;
  std::string_view authority, host;
  if (!splitAddress(address, origin.scheme, authority)) return std::nullopt;
  // User information before "@" is not part of the origin: in
  // "https://example.com@evil.test/" the host is evil.test.
  size_t at = authority.rfind('@');
  if (at != std::string_view::npos) authority.remove_prefix(at + 1);
  if (!splitHostAndPort(authority, origin.scheme, host, origin.port) || !isHostName(host)) return std::nullopt;
  origin.host = lowerCase(host);
  return origin;
}

std::string originText(const Origin& origin) {
  std::string text = origin.scheme + "://" + origin.host;
  if (origin.port != defaultPort(origin.scheme)) text += ":" + std::to_string(origin.port);
  return text;
}

std::vector<std::string> policyEntries(const std::vector<std::string>& values) {
  std::vector<std::string> entries;
  for (const std::string& value : values) {
    size_t start = 0;
    while ((start = value.find_first_not_of(" \t\r\n", start)) != std::string::npos) {
      size_t end = value.find_first_of(" \t\r\n", start);
      entries.push_back(value.substr(start, end == std::string::npos ? std::string::npos : end - start));
      start = end;
    }
  }
  return entries;
}

bool isAddressAllowed(std::string_view address, const std::vector<std::string>& entries) {
  std::optional<Origin> page = originOfAddress(address);
  if (!page) return false;
  return std::any_of(entries.begin(), entries.end(), [&](const std::string& text) {
    std::optional<PolicyEntry> entry = parseEntry(text);
    return entry && entryAllows(*entry, *page);
  });
}

}  // namespace pagewell
