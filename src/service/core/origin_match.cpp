#include "origin_match.h"

#include <optional>
#include <string>

#include "http_request.h"

namespace pagewell::service {
namespace {

struct Origin {
  std::string scheme;
  std::string host;  // lower case; IPv6 addresses keep their brackets
  unsigned port = 0;
};

std::optional<unsigned> defaultPort(std::string_view scheme) {
  if (scheme == "http") return 80;
  if (scheme == "https") return 443;
  return std::nullopt;
}

bool isHostChar(char c) {
  return (c >= 'a' && c <= 'z') || (c >= '0' && c <= '9') || c == '-' || c == '.' || c == '*' || c == '[' ||
         c == ']' || c == ':';
}

std::optional<unsigned> parsePort(std::string_view digits) {
  if (digits.empty() || digits.size() > 5) return std::nullopt;
  unsigned port = 0;
  for (char c : digits) {
    if (c < '0' || c > '9') return std::nullopt;
    port = port * 10 + unsigned(c - '0');
  }
  if (port == 0 || port > 65535) return std::nullopt;
  return port;
}

std::optional<Origin> parseOrigin(std::string_view text) {
  std::string lower = toLowerAscii(text);
  size_t separator = lower.find("://");
  if (separator == std::string::npos) return std::nullopt;
  Origin origin;
  origin.scheme = lower.substr(0, separator);
  std::optional<unsigned> port = defaultPort(origin.scheme);
  if (!port) return std::nullopt;
  std::string_view authority = std::string_view(lower).substr(separator + 3);
  // The port follows the last colon that is not inside an IPv6 literal.
  size_t bracketEnd = authority.rfind(']');
  size_t colon = authority.rfind(':');
  if (colon != std::string_view::npos && (bracketEnd == std::string_view::npos || colon > bracketEnd)) {
    port = parsePort(authority.substr(colon + 1));
    if (!port) return std::nullopt;
    authority = authority.substr(0, colon);
  }
  if (authority.empty()) return std::nullopt;
  for (char c : authority)
    if (!isHostChar(c)) return std::nullopt;
  bool bracketed = authority.front() == '[';
  if (bracketed != (authority.back() == ']')) return std::nullopt;
  if (!bracketed && authority.find_first_of("[]:") != std::string_view::npos) return std::nullopt;
  origin.host = std::string(authority);
  origin.port = *port;
  return origin;
}

bool hostMatches(std::string_view host, std::string_view pattern) {
  if (pattern.find('*') == std::string_view::npos) return host == pattern;
  // Only a whole leading label may be a wildcard: "*.example.com".
  if (pattern.size() < 3 || pattern.substr(0, 2) != "*." || pattern.find('*', 1) != std::string_view::npos)
    return false;
  std::string_view suffix = pattern.substr(1);  // ".example.com"
  return host.size() > suffix.size() && host.substr(host.size() - suffix.size()) == suffix &&
         host.find('*') == std::string_view::npos;
}

}  // namespace

bool originMatches(std::string_view origin, std::string_view entry) {
  std::optional<Origin> page = parseOrigin(origin);
  std::optional<Origin> allowed = parseOrigin(entry);
  if (!page || !allowed || page->host.find('*') != std::string::npos) return false;
  return page->scheme == allowed->scheme && page->port == allowed->port && hostMatches(page->host, allowed->host);
}

}  // namespace pagewell::service
