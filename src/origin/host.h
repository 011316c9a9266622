#pragma once
// The host of an origin, in the one form in which two hosts that are the
// same compare equal as text: a domain name in lower case, an IPv4 address
// as four decimal numbers, an IPv6 address in brackets in its canonical form
// (see ip_address.h).
#include <string>
#include <string_view>

#include "origin/parsed.h"

namespace pagewell {

// A host as written in an address or a policy entry. Domain names are
// ASCII: labels of letters, digits, '-' and '_', 1 to 63 characters each,
// separated by single dots, 253 at most in all, no closing dot.
// Internationalised names must be given in their "xn--" form, which is what
// browsers send; Unicode is refused rather than mapped, which would need
// the full IDNA tables.
Parsed<std::string> parseHost(std::string_view text);

// Like parseHost, but only a domain name will do (what a wildcard entry
// stands below).
Parsed<std::string> parseDomainName(std::string_view text);

// Whether a host from parseHost is an IP address rather than a name.
bool isIpAddress(std::string_view host);

}  // namespace pagewell
