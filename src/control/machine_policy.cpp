#include "machine_policy.h"

#include "allowed_origins.h"
#include "pagewell_settings.h"

namespace pagewell {

std::vector<std::string> ReadUploadTargetsPolicy() {
  return policyEntries(readSettingStrings(SettingsScope::Machine, L"UploadTargets").value_or(std::vector<std::string>{}));
}

}  // namespace pagewell
