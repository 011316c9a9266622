#pragma once
// Whether a page's Origin header is one that an allowed-origins entry names,
// by the origin rule the control's site lock shares (src/origin): exact
// origins and wildcards ("https://*.example.com"), normalised alike.
#include <string_view>

namespace pagewell::service {

// False when the origin is not one browsers send ("null", a path, a user
// name) or the entry allows nothing (see origin/policy_entry.h).
bool originMatches(std::string_view origin, std::string_view entry);

}  // namespace pagewell::service
