#include "site_rule.h"

#include <gtest/gtest.h>

namespace pagewell {
namespace {

const MachineSiteSettings kNoPolicy{std::nullopt, true, {}};
const MachineSiteSettings kNoQuestions{std::nullopt, false, {}};
const MachineSiteSettings kPolicy{std::vector<std::string>{"https://intranet.example.com"}, true, {}};
const MachineSiteSettings kPolicyNoQuestions{std::vector<std::string>{"https://intranet.example.com"}, false, {}};
const std::vector<std::string> kNone;
const std::vector<std::string> kApproved = {"https://shop.example.org", "http://pagehost.test"};

struct PageCase {
  const char* what;
  std::optional<std::string_view> address;
  const MachineSiteSettings& machine;
  const std::vector<std::string>& approvals;
  SiteVerdict expected;
};

TEST(SiteRule, JudgesEveryKindOfPage) {
  const PageCase cases[] = {
      // No policy: the user decides, once a site is theirs for good.
      {"unknown site", "https://shop.example.org/cart", kNoPolicy, kNone, SiteVerdict::AskUser},
      {"approved site", "https://shop.example.org/cart", kNoPolicy, kApproved, SiteVerdict::Allow},
      {"approved origin, other port", "https://shop.example.org:8443/", kNoPolicy, kApproved, SiteVerdict::AskUser},
      {"approved host, other scheme", "http://shop.example.org/", kNoPolicy, kApproved, SiteVerdict::AskUser},
      {"page host's own page", "http://pagehost.test/defaults.js", kNoPolicy, kApproved, SiteVerdict::Allow},
      // Nothing the user could judge: refused without a question.
      {"address unknown", std::nullopt, kNoPolicy, kApproved, SiteVerdict::Refuse},
      {"file page", "file:///C:/pages/scan.html", kNoPolicy, kApproved, SiteVerdict::Refuse},
      {"about:blank", "about:blank", kNoPolicy, kNone, SiteVerdict::Refuse},
      {"not an address", "shop.example.org", kNoPolicy, kNone, SiteVerdict::Refuse},
      // No questions: only the machine's list, which is empty here, and the
      // user's approvals do not count.
      {"no questions, unknown", "https://shop.example.org/", kNoQuestions, kNone, SiteVerdict::Refuse},
      {"no questions, approved", "https://shop.example.org/", kNoQuestions, kApproved, SiteVerdict::Refuse},
      // A policy alone decides.
      {"policy, listed", "https://intranet.example.com/scan", kPolicy, kNone, SiteVerdict::Allow},
      {"policy, unlisted", "https://other.example.net/", kPolicy, kNone, SiteVerdict::Refuse},
      {"policy, approved by the user", "https://shop.example.org/", kPolicy, kApproved, SiteVerdict::Refuse},
      {"policy without questions, listed", "https://intranet.example.com/", kPolicyNoQuestions, kNone,
       SiteVerdict::Allow},
      {"policy, address unknown", std::nullopt, kPolicy, kNone, SiteVerdict::Refuse},
  };
  for (const PageCase& c : cases) EXPECT_EQ(judgePage(c.address, c.machine, c.approvals), c.expected) << c.what;
}

}  // namespace
}  // namespace pagewell
