// IP addresses in hosts: every spelling of an address comes out as the one
// browsers serialise, and spellings browsers would read differently are
// refused.
#include <gtest/gtest.h>

#include "origin/ip_address.h"

namespace pagewell {
namespace {

TEST(IpAddress, WritesIpv6InItsCanonicalForm) {
  const struct {
    const char* text;
    const char* canonical;  // nullptr: refused
  } cases[] = {
      {"::1", "::1"},
      {"0:0:0:0:0:0:0:1", "::1"},
      {"::", "::"},
      {"0:0:0:0:0:0:0:0", "::"},
      {"1::", "1::"},
      {"2001:DB8:0000:0000:0000:0000:0000:0001", "2001:db8::1"},
      {"2001:db8:0:1:0:0:0:1", "2001:db8:0:1::1"},       // the longer run of zeros
      {"2001:db8:0:0:1:0:0:1", "2001:db8::1:0:0:1"},     // the first of two equal runs
      {"2001:db8:0:1:1:1:1:1", "2001:db8:0:1:1:1:1:1"},  // a single zero group stays
      {"1:2:3:4:5:6:7::", "1:2:3:4:5:6:7:0"},
      {"::ffff:192.168.0.1", "::ffff:c0a8:1"},
      {"::ffff:1.2.3.4", "::ffff:102:304"},
      {"1:2:3:4:5:6:1.2.3.4", "1:2:3:4:5:6:102:304"},
      {"", nullptr},
      {":", nullptr},
      {":::", nullptr},
      {"1:::2", nullptr},
      {"1::2::3", nullptr},
      {":1::2", nullptr},
      {"1::2:", nullptr},
      {"1:2:3:4:5:6:7", nullptr},
      {"1:2:3:4:5:6:7:8:9", nullptr},
      {"1:2:3:4:5:6:7::8", nullptr},  // "::" must stand for a group
      {"12345::", nullptr},
      {"g::", nullptr},
      {"fe80::1%25eth0", nullptr},
      {"::1.2.3.4:5", nullptr},
      {"::1.2.3", nullptr},
      {"::1.2.3.04", nullptr},
      {"::256.0.0.1", nullptr},
      {"1:2:3:4:5:6:7:1.2.3.4", nullptr},
  };
  for (const auto& c : cases) {
    std::optional<std::string> canonical = canonicalIpv6(c.text);
    if (c.canonical)
      EXPECT_EQ(canonical.value_or("(refused)"), c.canonical) << c.text;
    else
      EXPECT_FALSE(canonical) << c.text << " -> " << *canonical;
  }
}

TEST(IpAddress, TakesIpv4OnlyAsFourDecimalNumbers) {
  for (const char* text : {"0.0.0.0", "127.0.0.1", "255.255.255.255", "10.20.30.40"})
    EXPECT_EQ(canonicalIpv4(text).value_or("(refused)"), text);
  for (const char* text : {"", "127.1", "1.2.3.4.5", "256.0.0.1", "01.2.3.4", "0x7f.0.0.1", "1.2.3.", ".1.2.3",
                           "1..2.3", "1.2.3.-4", "1.2.3.4 "})
    EXPECT_FALSE(canonicalIpv4(text)) << text;
}

}  // namespace
}  // namespace pagewell
