// Registrable domains ("sites") and public suffixes by the list's
// algorithm: plain, wildcard and exception rules, the private section, and
// the list's internationalised rules in their xn-- form.
#include <gtest/gtest.h>

#include "origin/public_suffix.h"

namespace pagewell {
namespace {

TEST(PublicSuffix, FindsTheRegistrableDomain) {
  const struct {
    const char* host;
    const char* site;
  } cases[] = {
      {"example.com", "example.com"},
      {"shop.example.com", "example.com"},
      {"a.b.c.example.com", "example.com"},
      {"shop.example.co.uk", "example.co.uk"},
      {"co.uk", "co.uk"},  // a public suffix has none: itself
      {"com", "com"},
      {"someone.github.io", "someone.github.io"},  // the private section
      {"me.someone.github.io", "someone.github.io"},
      {"github.io", "github.io"},
      {"bucket.s3.amazonaws.com", "bucket.s3.amazonaws.com"},
      {"shop.ck", "shop.ck"},          // *.ck: shop.ck is a suffix ...
      {"a.shop.ck", "a.shop.ck"},      // ... and a.shop.ck a site under it
      {"b.a.shop.ck", "a.shop.ck"},
      {"www.ck", "www.ck"},            // !www.ck: a site under ck
      {"a.www.ck", "www.ck"},
      {"a.city.kawasaki.jp", "city.kawasaki.jp"},  // !city.kawasaki.jp under *.kawasaki.jp
      {"a.other.kawasaki.jp", "a.other.kawasaki.jp"},
      {"shop.xn--55qx5d.cn", "shop.xn--55qx5d.cn"},  // 公司.cn
      {"a.shop.xn--55qx5d.cn", "shop.xn--55qx5d.cn"},
      {"intranet.corp", "intranet.corp"},  // an unlisted top-level name: the implicit "*"
      {"a.intranet.corp", "intranet.corp"},
      {"localhost", "localhost"},
      {"127.0.0.1", "127.0.0.1"},
      {"[::1]", "[::1]"},
      {"", ""},
      {"a..example.com", "a..example.com"},  // not a host: answered as it is
  };
  for (const auto& c : cases) EXPECT_EQ(registrableDomain(c.host), c.site) << c.host;
}

TEST(PublicSuffix, KnowsWhichDomainsTheListMakesSuffixes) {
  for (const char* suffix : {"com", "co.uk", "github.io", "s3.amazonaws.com", "anything.ck", "xn--55qx5d.cn"})
    EXPECT_TRUE(isListedPublicSuffix(suffix)) << suffix;
  // Names the list does not know, such as an intranet's own top-level
  // name, are not listed suffixes (though they have no registrable domain).
  for (const char* domain : {"example.com", "example.co.uk", "someone.github.io", "www.ck", "city.kawasaki.jp",
                             "intranet.corp", "corp", "localhost", "", "a..com"})
    EXPECT_FALSE(isListedPublicSuffix(domain)) << domain;
}

}  // namespace
}  // namespace pagewell
