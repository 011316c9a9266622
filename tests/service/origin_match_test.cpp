// The service's matcher of Origin headers against allowed-origins entries:
// the shared table of cases (support/origin_cases.h).
#include "core/origin_match.h"

#include <gtest/gtest.h>

#include "support/origin_cases.h"

namespace pagewell::service {
namespace {

TEST(OriginMatches, DecidesEveryCaseOfTheSharedTable) {
  for (const testing::OriginCase& c : testing::kOriginCases)
    EXPECT_EQ(originMatches(c.page, c.entry), c.verdict == testing::Verdict::Allowed)
        << c.page << " against " << c.entry;
}

TEST(OriginMatches, TakesNoPathInAnOriginHeader) {
  EXPECT_FALSE(originMatches("https://shop.example.com/", "https://shop.example.com"));
}

}  // namespace
}  // namespace pagewell::service
