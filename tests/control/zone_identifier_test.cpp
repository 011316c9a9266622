#include "zone_identifier.h"

#include <gtest/gtest.h>

namespace pagewell {
namespace {

TEST(ZoneIdentifier, MarksTheInternetZoneWithThePageWhenItFitsOneLine) {
  const std::string internet = "[ZoneTransfer]\r\nZoneId=3\r\n";
  const struct {
    std::string pageAddress;
    std::string text;
  } cases[] = {
      {"https://shop.example.com", internet + "HostUrl=https://shop.example.com\r\n"},
      {"https://intranet.example.com/scan/page.html?batch=4#top",
       internet + "HostUrl=https://intranet.example.com/scan/page.html?batch=4#top\r\n"},
      // No page known: still the Internet zone, with no address made up.
      {"", internet},
      // An address that would start lines of its own is left out.
      {"https://evil.test/\r\nZoneId=0", internet},
      {"https://evil.test/\nZoneId=0", internet},
      {std::string("https://evil.test/\0x", 19), internet},
      {"https://evil.test/\tx", internet},
  };
  for (const auto& c : cases) EXPECT_EQ(ZoneIdentifierText(c.pageAddress), c.text) << c.pageAddress;
}

}  // namespace
}  // namespace pagewell
