#include "origin/origin.h"

#include "origin/address_parts.h"
#include "origin/host.h"

namespace pagewell {
namespace {

Parsed<Origin> originOfParts(const address_parts::SchemeAndRest& parts) {
  Parsed<address_parts::HostAndPort> authority = address_parts::splitAuthority(parts.authority, parts.scheme);
  if (!authority) return Parsed<Origin>::failure(authority.error);
  Parsed<std::string> host = parseHost(authority->host);
  if (!host) return Parsed<Origin>::failure(host.error);
  return Parsed<Origin>::success(Origin{parts.scheme, *host, authority->port});
}

}  // namespace

Parsed<Origin> parseOrigin(std::string_view text) {
  Parsed<address_parts::SchemeAndRest> parts = address_parts::splitAddress(text);
  if (!parts) return Parsed<Origin>::failure(parts.error);
  if (!parts->rest.empty()) return Parsed<Origin>::failure("an origin ends after the host and port");
  return originOfParts(*parts);
}

Parsed<Origin> parseAddressOrigin(std::string_view address) {
  Parsed<address_parts::SchemeAndRest> parts = address_parts::splitAddress(address);
  if (!parts) return Parsed<Origin>::failure(parts.error);
  return originOfParts(*parts);
}

std::optional<Origin> originOfAddress(std::string_view address) { return parseAddressOrigin(address).value; }

std::string originText(const Origin& origin) {
  std::string text = origin.scheme + "://" + origin.host;
  if (origin.port != address_parts::defaultPort(origin.scheme)) text += ":" + std::to_string(origin.port);
  return text;
}

}  // namespace pagewell
