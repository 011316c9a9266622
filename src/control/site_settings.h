#pragma once
// Where the site lock's settings live: the machine's, which an administrator
// sets (HKLM\SOFTWARE\Pagewell: AllowedOrigins, PromptForUnknownOrigins),
// and the user's own list of sites they allowed for good
// (HKCU\Software\Pagewell\AllowedOrigins), the list the local service keeps
// too, so that a site the user allowed in one place is allowed in both.
#include <optional>
#include <string>
#include <vector>

#include "pagewell_settings.h"
#include "site_rule.h"

namespace pagewell {

// The policy's origins, or nothing when the machine has no policy (a policy
// that exists but cannot be read as text allows nothing), and whether the
// user may be asked about other sites (PromptForUnknownOrigins, a DWORD; on
// unless it is 0).
MachineSiteSettings readMachineSiteSettings();

// The user's own list, and adding to it: userApprovedOrigins() and
// addUserApproval() of settings/pagewell_settings.h.

}  // namespace pagewell
