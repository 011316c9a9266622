// The policy as the registry holds it: strings of entries separated by
// white space, bad entries set aside with their reasons.
#include <gtest/gtest.h>

#include "origin/policy.h"

namespace pagewell {
namespace {

TEST(Policy, SplitsItsStringsAtWhiteSpace) {
  EXPECT_EQ(policyWords({"https://a.example  https://*.b.example", "", "\thttp://c.example:81 \r\n"}),
            (std::vector<std::string>{"https://a.example", "https://*.b.example", "http://c.example:81"}));
  EXPECT_TRUE(policyWords({" \t\r\n"}).empty());
  EXPECT_TRUE(policyWords({}).empty());
}

TEST(Policy, SetsRefusedEntriesAsideAndKeepsTheRest) {
  Policy policy = parsePolicy({"https://*.com https://intranet.example.com/", "ftp://x.example"});
  ASSERT_EQ(policy.entries.size(), 1u);
  EXPECT_EQ(policyEntryText(policy.entries[0]), "https://intranet.example.com");
  ASSERT_EQ(policy.refused.size(), 2u);
  EXPECT_EQ(policy.refused[0].text, "https://*.com");
  EXPECT_NE(policy.refused[0].reason.find("public suffix"), std::string::npos) << policy.refused[0].reason;
  EXPECT_EQ(policy.refused[1].text, "ftp://x.example");
  EXPECT_FALSE(policy.refused[1].reason.empty());

  EXPECT_TRUE(policyAllows(policy, *originOfAddress("https://intranet.example.com/scan")));
  EXPECT_FALSE(policyAllows(policy, *originOfAddress("https://shop.com/")));
  EXPECT_FALSE(policyAllows(parsePolicy({}), *originOfAddress("https://intranet.example.com/")));
}

}  // namespace
}  // namespace pagewell
