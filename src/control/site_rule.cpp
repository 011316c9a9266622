#include "site_rule.h"

#include "allowed_origins.h"

namespace pagewell {

SiteVerdict judgePage(std::optional<std::string_view> address, const MachineSiteSettings& machine,
                      const std::vector<std::string>& userApprovals) {
  if (!address || !originOfAddress(*address)) return SiteVerdict::Refuse;
  if (machine.policy) return isAddressAllowed(*address, *machine.policy) ? SiteVerdict::Allow : SiteVerdict::Refuse;
  if (!machine.promptForUnknownOrigins) return SiteVerdict::Refuse;
  return isAddressAllowed(*address, userApprovals) ? SiteVerdict::Allow : SiteVerdict::AskUser;
}

}  // namespace pagewell
