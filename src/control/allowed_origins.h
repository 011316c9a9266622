#pragma once
// The site lock's questions about the AllowedOrigins policy, answered by the
// origin module (src/origin), which the local service shares: which page
// addresses the policy lets the control work in. Origin, originOfAddress
// and originText come from origin/origin.h.
#include <string>
#include <string_view>
#include <vector>

#include "origin/origin.h"
#include "origin/policy.h"

namespace pagewell {

// The policy's entries from the strings of its multi-string value: each
// string holds one or more entries separated by white space.
std::vector<std::string> policyEntries(const std::vector<std::string>& values);

// Whether the page at `address` is allowed by one of `entries`; entries that
// do not parse allow nothing.
bool isAddressAllowed(std::string_view address, const std::vector<std::string>& entries);

}  // namespace pagewell
