#pragma once
// The first steps of reading an origin, a page address or a policy entry
// (internal to the origin module): "scheme://authority" and what follows,
// then the authority's host and port. Only http and https are read: they
// are the only schemes whose pages have an origin the policy can name.
#include <cstdint>
#include <string>
#include <string_view>

#include "origin/parsed.h"

namespace pagewell::address_parts {

struct SchemeAndRest {
  std::string scheme;          // "http" or "https"
  std::string_view authority;  // up to the first '/', '?', '#' or '\'
  std::string_view rest;       // from there on
};

Parsed<SchemeAndRest> splitAddress(std::string_view text);

struct HostAndPort {
  std::string_view host;  // as written, not checked yet
  std::uint16_t port = 0; // the scheme's default when none is written
};

// "host[:port]", "[ipv6][:port]"; user information ("user@host") is
// refused: browsers never send it in an origin, and in a policy or a page
// address it only serves to make one host look like another.
Parsed<HostAndPort> splitAuthority(std::string_view authority, std::string_view scheme);

std::uint16_t defaultPort(std::string_view scheme);

}  // namespace pagewell::address_parts
