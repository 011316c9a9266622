#include "allowed_origins.h"

#include <gtest/gtest.h>

namespace pagewell {
namespace {

const std::vector<std::string> kPolicy = {"https://intranet.example.com", "https://*.example.org",
                                          "http://scan.example.net:8080"};

struct AddressCase {
  const char* address;
  bool allowed;
};

TEST(AllowedOrigins, DecidesEveryKindOfPageAddress) {
  const AddressCase cases[] = {
      // Exact origins, with any path, query or fragment.
      {"https://intranet.example.com", true},
      {"https://intranet.example.com/", true},
      {"https://intranet.example.com/scan/page.html?batch=4#top", true},
      {"https://intranet.example.com:443/scan", true},
      // Case does not matter in scheme or host.
      {"HTTPS://Intranet.EXAMPLE.com/Scan", true},
      // A subdomain of the exact origin is another site.
      {"https://www.intranet.example.com/", false},
      // Wildcard: every subdomain, at any depth, but not the domain itself.
      {"https://shop.example.org/", true},
      {"https://a.b.example.org/x", true},
      {"https://example.org/", false},
      // Look-alikes: the allowed name as a prefix, inside another name, or
      // as user information before the real host.
      {"https://intranet.example.com.evil.test/", false},
      {"https://shop.example.org.evil.test/", false},
      {"https://evilexample.org/", false},
      {"https://notintranet.example.com/", false},
      {"https://intranet.example.com@evil.test/", false},
      {"https://user:pw@intranet.example.com/", true},
      // Schemes: the same host over plain http is another origin.
      {"http://intranet.example.com/", false},
      {"http://shop.example.org/", false},
      {"file:///C:/pages/scan.html", false},
      {"about:blank", false},
      {"javascript:alert(1)", false},
      // Ports must match, the default one included.
      {"https://intranet.example.com:8443/", false},
      {"http://scan.example.net:8080/batch", true},
      {"http://scan.example.net/", false},
      {"http://scan.example.net:80/", false},
      // Malformed addresses never pass.
      {"", false},
      {"intranet.example.com", false},
      {"https://", false},
      {"https:///path", false},
      {"https://intranet.example.com:/", false},
      {"https://intranet.example.com:99999/", false},
      {"https://intranet.example.com:44x/", false},
      {"https://intranet..example.com/", false},
      {"https://intranet example.com/", false},
      {"https://[::1]/", false},
  };
  for (const AddressCase& c : cases)
    EXPECT_EQ(isAddressAllowed(c.address, kPolicy), c.allowed) << c.address;
}

TEST(AllowedOrigins, IgnoresEntriesThatDoNotParse) {
  const std::vector<std::string> malformed = {"intranet.example.com", "https://*", "https://*.",
                                              "ftp://intranet.example.com", "https://intranet.example.com/scan",
                                              "https://*example.com", "https://intranet.example.com:0", ""};
  for (const char* address : {"https://intranet.example.com/", "https://www.example.com/", "https://example.com/"})
    EXPECT_FALSE(isAddressAllowed(address, malformed)) << address;
  // One good entry among bad ones still counts, its closing "/" forgiven.
  std::vector<std::string> mixed = malformed;
  mixed.push_back("HTTPS://Intranet.Example.com/");
  EXPECT_TRUE(isAddressAllowed("https://intranet.example.com/", mixed));
}

TEST(AllowedOrigins, AnEmptyPolicyAllowsNothing) {
  EXPECT_FALSE(isAddressAllowed("https://intranet.example.com/", {}));
}

TEST(AllowedOrigins, SplitsPolicyStringsAtWhiteSpace) {
  EXPECT_EQ(policyEntries({"https://a.example  https://*.b.example", "", "\thttp://c.example:81 "}),
            (std::vector<std::string>{"https://a.example", "https://*.b.example", "http://c.example:81"}));
  EXPECT_TRUE(policyEntries({"   "}).empty());
}

TEST(AllowedOrigins, NamesThePageOrigin) {
  EXPECT_EQ(originText(*originOfAddress("HTTPS://Shop.Example.com:443/x?y")), "https://shop.example.com");
  EXPECT_EQ(originText(*originOfAddress("http://shop.example.com:8080/")), "http://shop.example.com:8080");
  EXPECT_FALSE(originOfAddress("file:///C:/x.html").has_value());
}

}  // namespace
}  // namespace pagewell
