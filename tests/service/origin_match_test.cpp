// Which page origins an allowed-origins entry names.
#include "core/origin_match.h"

#include <gtest/gtest.h>

namespace pagewell::service {
namespace {

TEST(OriginMatches, TableOfOriginsAndEntries) {
  struct Case {
    const char* origin;
    const char* entry;
    bool matches;
  };
  const Case cases[] = {
      {"https://shop.example.com", "https://shop.example.com", true},
      {"HTTPS://Shop.Example.COM", "https://shop.example.com", true},   // case of scheme and host
      {"https://shop.example.com", "https://shop.example.com:443", true},  // default port written
      {"http://shop.test:8080", "http://shop.test:8080", true},
      {"http://shop.test:8081", "http://shop.test:8080", false},       // another port
      {"http://shop.example.com", "https://shop.example.com", false},  // another scheme
      {"https://shop.example.com.evil.net", "https://shop.example.com", false},
      {"https://evilshop.example.com", "https://shop.example.com", false},
      {"https://a.example.com", "https://*.example.com", true},
      {"https://a.b.example.com", "https://*.example.com", true},
      {"https://example.com", "https://*.example.com", false},        // the domain itself
      {"https://a.example.com.evil.net", "https://*.example.com", false},
      {"https://aexample.com", "https://*.example.com", false},
      {"http://a.example.com", "https://*.example.com", false},
      {"https://a.example.com:8443", "https://*.example.com", false},
      {"https://*.example.com", "https://*.example.com", false},      // a page is never a pattern
      {"https://a.example.com", "https://a*.example.com", false},     // only whole labels
      {"https://a.example.com", "https://*.*.com", false},
      {"https://a.example.com", "*", false},
      {"http://[::1]:8080", "http://[::1]:8080", true},
      {"http://127.0.0.1:8080", "http://127.0.0.1:8080", true},
      {"null", "null", false},
      {"", "", false},
      {"https://shop.example.com/", "https://shop.example.com", false},  // a path
      {"https://user@shop.example.com", "https://user@shop.example.com", false},
      {"file://", "file://", false},
      {"https://", "https://", false},
      {"https://a.com:0", "https://a.com:0", false},
      {"https://a.com:65536", "https://a.com:65536", false},
      {"https://a.com:", "https://a.com", false},
  };
  for (const Case& c : cases)
    EXPECT_EQ(originMatches(c.origin, c.entry), c.matches) << c.origin << " against " << c.entry;
}

}  // namespace
}  // namespace pagewell::service
