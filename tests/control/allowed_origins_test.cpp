// The site lock's questions, answered by the shared origin rule: the whole
// table of cases (support/origin_cases.h) through the lock's own entry
// points, as it reads the policy and the page's address.
#include "allowed_origins.h"

#include <gtest/gtest.h>

#include "support/origin_cases.h"

namespace pagewell {
namespace {

TEST(AllowedOrigins, DecidesEveryCaseOfTheSharedTable) {
  for (const testing::OriginCase& c : testing::kOriginCases)
    EXPECT_EQ(isAddressAllowed(c.page, policyEntries({c.entry})), c.verdict == testing::Verdict::Allowed)
        << c.page << " against " << c.entry;
}

TEST(AllowedOrigins, JudgesAPageByTheOriginOfItsAddress) {
  for (const testing::AddressCase& c : testing::kAddressCases) {
    if (!c.origin) {
      EXPECT_FALSE(isAddressAllowed(c.address, {"https://intranet.example.com", "https://evil.test"})) << c.address;
      continue;
    }
    EXPECT_TRUE(isAddressAllowed(c.address, {c.origin})) << c.address;
    ASSERT_TRUE(originOfAddress(c.address)) << c.address;
    EXPECT_EQ(originText(*originOfAddress(c.address)), c.origin);
  }
}

TEST(AllowedOrigins, OneGoodEntryAmongBadOnesStillCounts) {
  const std::vector<std::string> policy = policyEntries(
      {"https://*.com intranet.example.com", "https://intranet.example.com/scan HTTPS://Intranet.Example.com/"});
  EXPECT_TRUE(isAddressAllowed("https://intranet.example.com/scan", policy));
  EXPECT_FALSE(isAddressAllowed("https://shop.com/", policy));
  EXPECT_FALSE(isAddressAllowed("https://intranet.example.com/", {}));
}

TEST(AllowedOrigins, SplitsPolicyStringsAtWhiteSpace) {
  EXPECT_EQ(policyEntries({"https://a.example  https://*.b.example", "", "\thttp://c.example:81 "}),
            (std::vector<std::string>{"https://a.example", "https://*.b.example", "http://c.example:81"}));
  EXPECT_TRUE(policyEntries({"   "}).empty());
}

}  // namespace
}  // namespace pagewell
