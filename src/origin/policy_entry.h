#pragma once
// One entry of the AllowedOrigins policy (the machine's list, the user's
// approvals, the service's --allow-origin): an exact origin
// ("https://intranet.example.com", "http://[::1]:8080") or a wildcard
// ("https://*.example.com[:port]") that allows every subdomain of the
// domain, at any depth, but not the domain itself.
//
// Entries are normalised as origins are (origin.h); one closing "/" is
// forgiven, since administrators paste origins from the address bar. A
// wildcard directly over a public suffix ("https://*.com",
// "https://*.co.uk", "https://*.github.io") is refused: it would admit
// every site anyone registers there.
#include <string>
#include <string_view>

#include "origin/origin.h"
#include "origin/parsed.h"

namespace pagewell {

struct PolicyEntry {
  Origin origin;            // for a wildcard, the host is the domain below "*."
  bool subdomains = false;  // a wildcard entry

  bool operator==(const PolicyEntry& other) const {
    return origin == other.origin && subdomains == other.subdomains;
  }
};

// The entry, or why it allows nothing, in words for the administrator.
Parsed<PolicyEntry> parsePolicyEntry(std::string_view text);

// The entry in its normalised form: "https://*.example.com",
// "http://intranet.example.com:8080".
std::string policyEntryText(const PolicyEntry& entry);

// Whether the entry allows a page of that origin.
bool entryAllows(const PolicyEntry& entry, const Origin& page);

}  // namespace pagewell
