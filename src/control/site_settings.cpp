#include "site_settings.h"

#include "allowed_origins.h"

namespace pagewell {

MachineSiteSettings readMachineSiteSettings() {
  std::optional<std::vector<std::string>> policy = readSettingStrings(SettingsScope::Machine, L"AllowedOrigins");
  if (policy) policy = policyEntries(*policy);
  return MachineSiteSettings{std::move(policy), machineAllowsPrompting()};
}

}  // namespace pagewell
