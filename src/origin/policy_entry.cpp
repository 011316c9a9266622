#include "origin/policy_entry.h"

#include "origin/address_parts.h"
#include "origin/host.h"
#include "origin/public_suffix.h"

namespace pagewell {
namespace {

constexpr std::string_view kWildcard = "*.";

Parsed<std::string> parseWildcardDomain(std::string_view text) {
  Parsed<std::string> domain = parseDomainName(text);
  if (!domain)
    return Parsed<std::string>::failure("a wildcard is written *. and a domain name, as in https://*.example.com (" +
                                        domain.error + ")");
  // Only what the list names: an intranet's own top-level name
  // ("https://*.corp") is the administrator's to give.
  if (isListedPublicSuffix(*domain))
    return Parsed<std::string>::failure("*." + *domain + " would allow every site under " + *domain +
                                        ", a public suffix whose subdomains belong to unrelated owners; "
                                        "name the sites, or a wildcard under one of them");
  return domain;
}

Parsed<PolicyEntry> entryOfHost(std::string_view host, PolicyEntry entry) {
  if (host.substr(0, kWildcard.size()) == kWildcard) {
    Parsed<std::string> domain = parseWildcardDomain(host.substr(kWildcard.size()));
    if (!domain) return Parsed<PolicyEntry>::failure(domain.error);
    entry.origin.host = *domain;
    entry.subdomains = true;
    return Parsed<PolicyEntry>::success(std::move(entry));
  }
  if (host.find('*') != std::string_view::npos)
    return Parsed<PolicyEntry>::failure("'*' may only stand for whole leftmost labels, as in https://*.example.com");
  Parsed<std::string> exact = parseHost(host);
  if (!exact) return Parsed<PolicyEntry>::failure(exact.error);
  entry.origin.host = *exact;
  return Parsed<PolicyEntry>::success(std::move(entry));
}

bool isSubdomainOf(std::string_view host, std::string_view domain) {
  return host.size() > domain.size() + 1 && host.substr(host.size() - domain.size()) == domain &&
         host[host.size() - domain.size() - 1] == '.';
}

}  // namespace

Parsed<PolicyEntry> parsePolicyEntry(std::string_view text) {
  if (text.empty()) return Parsed<PolicyEntry>::failure("the entry is empty");
  Parsed<address_parts::SchemeAndRest> parts = address_parts::splitAddress(text);
  if (!parts) return Parsed<PolicyEntry>::failure(parts.error);
  if (!parts->rest.empty() && parts->rest != "/")
    return Parsed<PolicyEntry>::failure("an origin ends after the host and port: leave out the path, query and "
                                        "fragment");
  Parsed<address_parts::HostAndPort> authority = address_parts::splitAuthority(parts->authority, parts->scheme);
  if (!authority) return Parsed<PolicyEntry>::failure(authority.error);
  PolicyEntry entry;
  entry.origin.scheme = parts->scheme;
  entry.origin.port = authority->port;
  return entryOfHost(authority->host, std::move(entry));
}

std::string policyEntryText(const PolicyEntry& entry) {
  if (!entry.subdomains) return originText(entry.origin);
  Origin shown = entry.origin;
  shown.host = std::string(kWildcard) + shown.host;
  return originText(shown);
}

bool entryAllows(const PolicyEntry& entry, const Origin& page) {
  if (entry.origin.scheme != page.scheme || entry.origin.port != page.port) return false;
  if (!entry.subdomains) return page.host == entry.origin.host;
  return !isIpAddress(page.host) && isSubdomainOf(page.host, entry.origin.host);
}

}  // namespace pagewell
