#include "allowed_origins.h"

#include "core/origin_admission.h"
#include "origin_registry.h"

namespace pagewell::service {

Admission AllowedOrigins::admission(const std::string& origin) {
  OriginLists lists{commandLine_, machineAllowedOrigins(), userAllowedOrigins(), machineAllowsPrompting(), prompt_};
  OriginJudgement judgement = judgeOrigin(origin, lists);
  for (const RefusedEntry& entry : judgement.refusedEntries)
    if (reported_.insert(entry.text).second) log_("allowed-origins entry " + entry.text + " allows nothing: " + entry.reason);
  if (judgement.admission == Admission::AskUser && asker_.refusedWithoutAsking(origin)) return Admission::Refused;
  return judgement.admission;
}

}  // namespace pagewell::service
