// Feeds arbitrary page origins and policy entries to the origin rule. Every
// text must be read without a crash and come out consistent:
// - an origin or entry either parses or has a reason, never both;
// - normalised text reads back as the same origin or entry;
// - an origin header reads the same as a page address;
// - a wildcard entry never stands over a public suffix, and allows only
//   names strictly below its domain; an exact one only its own origin;
// - a registrable domain is the host or a suffix of it at a label
//   boundary, and is its own registrable domain.
//
// Input: the page's origin, a newline, the entry.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string>
#include <string_view>

#include "origin/host.h"
#include "origin/origin.h"
#include "origin/policy_entry.h"
#include "origin/public_suffix.h"

namespace {

using namespace pagewell;

void check(bool condition) {
  if (!condition) std::abort();
}

template <typename T>
void checkReason(const Parsed<T>& parsed) {
  check(parsed.value.has_value() == parsed.error.empty());
}

bool isLabelSuffix(std::string_view host, std::string_view suffix) {
  if (suffix == host) return true;
  return host.size() > suffix.size() && host.substr(host.size() - suffix.size()) == suffix &&
         host[host.size() - suffix.size() - 1] == '.';
}

void checkRegistrableDomain(std::string_view host) {
  std::string site = registrableDomain(host);
  check(isLabelSuffix(host, site));
  check(registrableDomain(site) == site);
}

void checkOrigin(std::string_view text, const Parsed<Origin>& origin) {
  checkReason(origin);
  if (!origin) return;
  check(origin->port != 0);
  check(parseOrigin(originText(*origin)).value == origin.value);
  check(parseAddressOrigin(text).value == origin.value);
  check(parseHost(origin->host).value == origin->host);
  checkRegistrableDomain(origin->host);
}

void checkEntry(const Parsed<PolicyEntry>& entry) {
  checkReason(entry);
  if (!entry) return;
  check(parsePolicyEntry(policyEntryText(*entry)).value == entry.value);
  if (entry->subdomains) check(!isListedPublicSuffix(entry->origin.host) && !isIpAddress(entry->origin.host));
}

void checkMatch(const PolicyEntry& entry, const Origin& page) {
  if (!entryAllows(entry, page)) return;
  check(page.scheme == entry.origin.scheme && page.port == entry.origin.port);
  if (entry.subdomains)
    check(page.host != entry.origin.host && isLabelSuffix(page.host, entry.origin.host));
  else
    check(page == entry.origin);
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const std::string_view input(reinterpret_cast<const char*>(data), size);
  const std::size_t newline = input.find('\n');
  const std::string_view page = input.substr(0, newline);
  const std::string_view entryText = newline == std::string_view::npos ? std::string_view() : input.substr(newline + 1);

  const Parsed<Origin> origin = parseOrigin(page);
  checkOrigin(page, origin);
  checkReason(parseAddressOrigin(page));
  const Parsed<PolicyEntry> entry = parsePolicyEntry(entryText);
  checkEntry(entry);
  if (origin && entry) checkMatch(*entry, *origin);
  // Whatever the consent window is handed, it gets a site back.
  checkRegistrableDomain(page);
  return 0;
}
