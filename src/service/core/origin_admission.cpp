#include "origin_admission.h"

namespace pagewell::service {
namespace {

// Whether the list admits the page; its refused entries are noted.
bool listAdmits(const std::vector<std::string>& list, const Parsed<Origin>& page, OriginJudgement& judgement) {
  Policy policy = parsePolicy(list);
  judgement.refusedEntries.insert(judgement.refusedEntries.end(), policy.refused.begin(), policy.refused.end());
  return page && policyAllows(policy, *page);
}

}  // namespace

OriginJudgement judgeOrigin(std::string_view originHeader, const OriginLists& lists) {
  OriginJudgement judgement;
  Parsed<Origin> page = parseOrigin(originHeader);
  // Every list is read, so that what is wrong in any of them is reported.
  bool admitted = listAdmits(lists.commandLine, page, judgement);
  admitted = listAdmits(lists.machine, page, judgement) || admitted;
  if (lists.userMayDecide) admitted = listAdmits(lists.user, page, judgement) || admitted;
  if (admitted)
    judgement.admission = Admission::Admitted;
  else if (page && lists.prompt && lists.userMayDecide)
    judgement.admission = Admission::AskUser;
  return judgement;
}

}  // namespace pagewell::service
