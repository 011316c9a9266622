// The origin rule's shared table (support/origin_cases.h) against the
// module itself, with the reasons it gives and the forms it normalises to.
#include <gtest/gtest.h>

#include "origin/origin.h"
#include "origin/policy_entry.h"
#include "support/origin_cases.h"

namespace pagewell {
namespace {

using testing::Verdict;

Verdict verdictOf(const char* page, const char* entry) {
  Parsed<PolicyEntry> allowed = parsePolicyEntry(entry);
  if (!allowed) return Verdict::EntryRefused;
  Parsed<Origin> origin = parseOrigin(page);
  return origin && entryAllows(*allowed, *origin) ? Verdict::Allowed : Verdict::Denied;
}

TEST(OriginRule, DecidesEveryCaseOfTheSharedTable) {
  for (const testing::OriginCase& c : testing::kOriginCases)
    EXPECT_EQ(verdictOf(c.page, c.entry), c.verdict) << c.page << " against " << c.entry;
}

TEST(OriginRule, SaysWhyAnEntryIsRefused) {
  const struct {
    const char* entry;
    const char* reasonMentions;
  } reasons[] = {
      {"https://*.co.uk", "co.uk, a public suffix"},
      {"https://*.github.io", "github.io, a public suffix"},
      {"ftp://intranet.example.com", "only http and https"},
      {"intranet.example.com", "http:// or https://"},
      {"https://intranet.example.com/scan", "leave out the path"},
      {"https://user@intranet.example.com", "user name"},
      {"https://intranet.example.com:65536", "1 to 65535"},
      {"https://b\xC3\xBC" "cher.example", "xn--"},
      {"https://a*.example.com", "whole leftmost labels"},
      {"http://127.1", "four numbers"},
  };
  for (const auto& r : reasons)
    EXPECT_NE(parsePolicyEntry(r.entry).error.find(r.reasonMentions), std::string::npos)
        << r.entry << ": " << parsePolicyEntry(r.entry).error;
}

TEST(OriginRule, WritesEntriesInTheirNormalisedForm) {
  for (const testing::EntryTextCase& c : testing::kEntryTextCases) {
    Parsed<PolicyEntry> entry = parsePolicyEntry(c.entry);
    ASSERT_TRUE(entry) << c.entry << ": " << entry.error;
    EXPECT_EQ(policyEntryText(*entry), c.normalised) << c.entry;
    // The normalised text reads back as the same entry.
    EXPECT_EQ(parsePolicyEntry(policyEntryText(*entry)).value, entry.value) << c.entry;
  }
}

TEST(OriginRule, FindsTheOriginOfPageAddresses) {
  for (const testing::AddressCase& c : testing::kAddressCases) {
    std::optional<Origin> origin = originOfAddress(c.address);
    if (!c.origin) {
      EXPECT_FALSE(origin) << c.address << " has the origin " << originText(*origin);
      continue;
    }
    ASSERT_TRUE(origin) << c.address << ": " << parseAddressOrigin(c.address).error;
    EXPECT_EQ(originText(*origin), c.origin) << c.address;
    // An origin is its own address, and its text reads back as itself.
    EXPECT_EQ(parseOrigin(originText(*origin)).value, origin) << c.address;
  }
}

TEST(OriginRule, ReadsAnOriginHeaderStrictly) {
  // A page address's path has no place in an Origin header.
  for (const char* text : {"https://intranet.example.com/", "https://intranet.example.com/scan",
                           "https://intranet.example.com?x", "https://intranet.example.com#x"})
    EXPECT_FALSE(parseOrigin(text)) << text;
}

}  // namespace
}  // namespace pagewell
