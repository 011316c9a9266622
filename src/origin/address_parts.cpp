#include "origin/address_parts.h"

namespace pagewell::address_parts {
namespace {

bool equalsIgnoringCase(std::string_view text, std::string_view lowerCase) {
  if (text.size() != lowerCase.size()) return false;
  for (size_t i = 0; i < text.size(); ++i) {
    char c = text[i];
    if (c >= 'A' && c <= 'Z') c = static_cast<char>(c - 'A' + 'a');
    if (c != lowerCase[i]) return false;
  }
  return true;
}

// 1 to 65535, up to five digits ("0443" is 443, as browsers read it).
Parsed<std::uint16_t> parsePort(std::string_view digits) {
  if (digits.empty()) return Parsed<std::uint16_t>::failure("the port is missing after ':'");
  if (digits.size() > 5) return Parsed<std::uint16_t>::failure("the port is not a number from 1 to 65535");
  unsigned port = 0;
  for (char c : digits) {
    if (c < '0' || c > '9') return Parsed<std::uint16_t>::failure("the port is not a number from 1 to 65535");
    port = port * 10 + unsigned(c - '0');
  }
  if (port < 1 || port > 65535) return Parsed<std::uint16_t>::failure("the port is not a number from 1 to 65535");
  return Parsed<std::uint16_t>::success(static_cast<std::uint16_t>(port));
}

}  // namespace

std::uint16_t defaultPort(std::string_view scheme) { return scheme == "https" ? 443 : 80; }

Parsed<SchemeAndRest> splitAddress(std::string_view text) {
  size_t separator = text.find("://");
  if (separator == std::string_view::npos)
    return Parsed<SchemeAndRest>::failure("it does not start with http:// or https://");
  SchemeAndRest parts;
  std::string_view scheme = text.substr(0, separator);
  if (equalsIgnoringCase(scheme, "https"))
    parts.scheme = "https";
  else if (equalsIgnoringCase(scheme, "http"))
    parts.scheme = "http";
  else
    return Parsed<SchemeAndRest>::failure("only http and https pages have an origin Pagewell can allow");
  std::string_view afterScheme = text.substr(separator + 3);
  // Browsers read '\' as '/' in http and https addresses.
  size_t end = afterScheme.find_first_of("/?#\\");
  parts.authority = afterScheme.substr(0, end);
  parts.rest = end == std::string_view::npos ? std::string_view() : afterScheme.substr(end);
  return Parsed<SchemeAndRest>::success(std::move(parts));
}

Parsed<HostAndPort> splitAuthority(std::string_view authority, std::string_view scheme) {
  if (authority.find('@') != std::string_view::npos)
    return Parsed<HostAndPort>::failure("a user name or password ('@') has no place in an origin");
  // The port follows the last ':' that is not inside an IPv6 literal.
  size_t colon = authority.rfind(':');
  size_t bracket = authority.rfind(']');
  if (colon != std::string_view::npos && bracket != std::string_view::npos && colon < bracket)
    colon = std::string_view::npos;
  HostAndPort parts{authority.substr(0, colon), defaultPort(scheme)};
  if (colon == std::string_view::npos) return Parsed<HostAndPort>::success(parts);
  Parsed<std::uint16_t> port = parsePort(authority.substr(colon + 1));
  if (!port) return Parsed<HostAndPort>::failure(port.error);
  parts.port = *port;
  return Parsed<HostAndPort>::success(parts);
}

}  // namespace pagewell::address_parts
