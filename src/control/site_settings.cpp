#include "site_settings.h"

#include "allowed_origins.h"
#include "origin/policy.h"

namespace pagewell {

MachineSiteSettings readMachineSiteSettings() {
  std::optional<std::vector<std::string>> policy = readSettingStrings(SettingsScope::Machine, L"AllowedOrigins");
  std::vector<std::string> problems;
  if (policy) {
    for (const RefusedEntry& entry : parsePolicy(*policy).refused)
      problems.push_back("The AllowedOrigins entry " + entry.text + " allows nothing: " + entry.reason);
    policy = policyEntries(*policy);
  }
  return MachineSiteSettings{std::move(policy), machineAllowsPrompting(), std::move(problems)};
}

}  // namespace pagewell
