#include "allowed_origins.h"

#include "core/origin_admission.h"
#include "pagewell_settings.h"

namespace pagewell::service {

Admission AllowedOrigins::admission(const std::string& origin) {
  auto list = [](SettingsScope scope) {
    return readSettingStrings(scope, L"AllowedOrigins").value_or(std::vector<std::string>{});
  };
  OriginLists lists{commandLine_, list(SettingsScope::Machine), list(SettingsScope::User), machineAllowsPrompting(),
                    prompt_};
  OriginJudgement judgement = judgeOrigin(origin, lists);
  for (const RefusedEntry& entry : judgement.refusedEntries)
    if (reported_.insert(entry.text).second) log_("allowed-origins entry " + entry.text + " allows nothing: " + entry.reason);
  if (judgement.admission == Admission::AskUser && asker_.refusedWithoutAsking(origin)) return Admission::Refused;
  return judgement.admission;
}

}  // namespace pagewell::service
