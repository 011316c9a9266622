// The service's rule for a page's Origin header against its lists: the
// shared table of cases (support/origin_cases.h), and which list counts
// when.
#include "core/origin_admission.h"

#include <gtest/gtest.h>

#include "support/origin_cases.h"

namespace pagewell::service {
namespace {

TEST(OriginAdmission, DecidesEveryCaseOfTheSharedTable) {
  for (const testing::OriginCase& c : testing::kOriginCases) {
    OriginLists lists;
    lists.machine = {c.entry};
    lists.prompt = false;
    OriginJudgement judgement = judgeOrigin(c.page, lists);
    EXPECT_EQ(judgement.admission == Admission::Admitted, c.verdict == testing::Verdict::Allowed)
        << c.page << " against " << c.entry;
    // An empty string is no entry at all: nothing to report.
    if (*c.entry) {
      EXPECT_EQ(judgement.refusedEntries.empty(), c.verdict != testing::Verdict::EntryRefused) << c.entry;
    }
  }
}

TEST(OriginAdmission, WhichListCountsAndWhoMayBeAsked) {
  struct Case {
    const char* what;
    const char* origin;
    bool userMayDecide, prompt;
    Admission expected;
  };
  const Case cases[] = {
      {"the run's own entry", "https://run.test", true, true, Admission::Admitted},
      {"the machine's list", "https://a.machine.test", false, false, Admission::Admitted},
      {"the user's approval", "https://user.test", true, true, Admission::Admitted},
      {"the user's approval, with prompting off by policy", "https://user.test", false, true, Admission::Refused},
      {"an unknown origin is put to the user", "https://new.test", true, true, Admission::AskUser},
      {"... unless the run says no prompt", "https://new.test", true, false, Admission::Refused},
      {"... or the machine's policy", "https://new.test", false, true, Admission::Refused},
      {"a header that is no origin is never put to anyone", "https://new.test/", true, true, Admission::Refused},
      {"nor is null", "null", true, true, Admission::Refused},
  };
  for (const Case& c : cases) {
    OriginLists lists{{"https://run.test"}, {"https://*.machine.test https://*.com"}, {"https://user.test"}, c.userMayDecide, c.prompt};
    OriginJudgement judgement = judgeOrigin(c.origin, lists);
    EXPECT_EQ(judgement.admission, c.expected) << c.what;
    // The machine's mistaken entry is reported, whatever the page.
    ASSERT_EQ(judgement.refusedEntries.size(), 1u) << c.what;
    EXPECT_EQ(judgement.refusedEntries[0].text, "https://*.com");
  }
}

}  // namespace
}  // namespace pagewell::service
