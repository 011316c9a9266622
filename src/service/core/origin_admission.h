#pragma once
// The service's rule for the Origin header of a page: which of its lists
// admit it (the --allow-origin entries of the run, the machine's policy,
// the user's approvals), and whether the user may be asked about the rest.
// Portable, so that one table of cases runs against it as against the
// control's site lock.
#include <string>
#include <string_view>
#include <vector>

#include "connection.h"
#include "origin/policy.h"

namespace pagewell::service {

struct OriginLists {
  std::vector<std::string> commandLine;  // each string one or more entries
  std::vector<std::string> machine;
  std::vector<std::string> user;
  // The machine's PromptForUnknownOrigins: without it, the user's
  // approvals do not count and nobody is asked.
  bool userMayDecide = true;
  bool prompt = true;  // false: --no-prompt
};

struct OriginJudgement {
  Admission admission = Admission::Refused;
  std::vector<RefusedEntry> refusedEntries;  // entries of the lists that allow nothing
};

// AskUser only for an origin a person could recognise: one that parses as
// browsers send it.
OriginJudgement judgeOrigin(std::string_view originHeader, const OriginLists& lists);

}  // namespace pagewell::service
