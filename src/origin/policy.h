#pragma once
// The AllowedOrigins policy as a whole: the strings of its REG_MULTI_SZ
// value (or the REG_SZ the installer may leave), each holding one or more
// entries separated by white space, since the installer writes its
// ALLOWEDORIGINS property as one string.
#include <string>
#include <vector>

#include "origin/origin.h"
#include "origin/policy_entry.h"

namespace pagewell {

// An entry that allows nothing, and why, for the service's log and the
// control's DebugAlerts.
struct RefusedEntry {
  std::string text;
  std::string reason;
};

struct Policy {
  std::vector<PolicyEntry> entries;
  std::vector<RefusedEntry> refused;
};

// The entries' texts, split at white space (space, tab, CR, LF); empty
// strings and runs of white space give none.
std::vector<std::string> policyWords(const std::vector<std::string>& values);

// Every entry parsed; refused ones are kept aside and allow nothing, so one
// mistyped entry does not take the others down with it.
Policy parsePolicy(const std::vector<std::string>& values);

// Whether one of the policy's entries allows a page of that origin.
bool policyAllows(const Policy& policy, const Origin& page);

}  // namespace pagewell
