#include "allowed_origins.h"

namespace pagewell {

std::vector<std::string> policyEntries(const std::vector<std::string>& values) { return policyWords(values); }

bool isAddressAllowed(std::string_view address, const std::vector<std::string>& entries) {
  std::optional<Origin> page = originOfAddress(address);
  return page && policyAllows(parsePolicy(entries), *page);
}

}  // namespace pagewell
