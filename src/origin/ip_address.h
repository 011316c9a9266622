#pragma once
// IP address literals in hosts, in the one spelling each has in an origin,
// so that two spellings of the same address compare equal as text.
#include <optional>
#include <string>
#include <string_view>

namespace pagewell {

// "192.168.0.10": exactly four decimal numbers 0 to 255 without leading
// zeros. Browsers turn the other spellings ("0x7f.1", "127.1", "010.0.0.1")
// into this one before a page's origin is sent, so those are refused rather
// than read one way here and another way there. Answers the text itself.
std::optional<std::string> canonicalIpv4(std::string_view text);

// The text between an IPv6 literal's brackets ("0:0:0:0:0:0:0:1",
// "::FFFF:127.0.0.1") in the form browsers serialise (RFC 5952 as the URL
// standard applies it): lower-case hexadecimal without leading zeros, the
// first longest run of two or more zero groups written "::", a trailing
// IPv4 part in hexadecimal ("::ffff:7f00:1"). Zone identifiers are refused.
std::optional<std::string> canonicalIpv6(std::string_view text);

}  // namespace pagewell
