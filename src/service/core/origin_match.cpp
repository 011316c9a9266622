#include "origin_match.h"

#include "origin/origin.h"
#include "origin/policy_entry.h"

namespace pagewell::service {

bool originMatches(std::string_view origin, std::string_view entry) {
  Parsed<Origin> page = parseOrigin(origin);
  Parsed<PolicyEntry> allowed = parsePolicyEntry(entry);
  return page && allowed && entryAllows(*allowed, *page);
}

}  // namespace pagewell::service
