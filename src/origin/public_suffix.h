#pragma once
// Public suffixes and registrable domains, by the Public Suffix List's
// algorithm (https://publicsuffix.org/list/) over the list compiled in at
// build time, its private section included: github.io or
// s3.amazonaws.com is shared by unrelated owners just as co.uk is.
//
// Hosts are expected in the normalised ASCII form of host.h (lower case,
// "xn--" labels); the list's internationalised rules are stored in that form.
#include <string>
#include <string_view>

namespace pagewell {

// Whether a rule of the list itself makes `domain` a public suffix; a name
// the list does not know ("corp", an intranet's own top-level name) is not
// one here.
bool isListedPublicSuffix(std::string_view domain);

// The registrable domain of a host, its "site": the public suffix and one
// label more ("shop.example.co.uk" -> "example.co.uk", "a.b.github.io" ->
// "b.github.io"). A host that has none is answered as it is: an IP address,
// a single label such as "localhost", or a host that is itself a public
// suffix.
std::string registrableDomain(std::string_view host);

}  // namespace pagewell
