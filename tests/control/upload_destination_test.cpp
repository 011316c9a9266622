#include "upload_destination.h"

#include <gtest/gtest.h>

namespace pagewell {
namespace {

const std::vector<std::string> kTargets = {"https://files.example.net", "https://*.uploads.example.org",
                                           "http://archive.example.com:8080"};
const std::string kShopRefusal =
    "Uploads go only to this page's own server, https://shop.example.com, or to an upload target the "
    "administrator allows";

std::optional<UrlParts> split(const std::string& scheme, const std::string& host, std::uint16_t port) {
  UrlParts parts;
  parts.scheme = scheme;
  parts.host = host;
  parts.port = port;
  parts.path = "/upload";
  return parts;
}

TEST(UploadDestination, OnlyThePagesOwnOriginOrAnUploadTarget) {
  const struct {
    const char* what;
    std::optional<UrlParts> destination;
    bool allowed;
  } cases[] = {
      {"the page's own origin", split("https", "shop.example.com", 443), true},
      {"its own origin, host in capitals", split("https", "SHOP.Example.COM", 443), true},
      {"an exact upload target", split("https", "files.example.net", 443), true},
      {"a subdomain of a wildcard target", split("https", "eu.uploads.example.org", 443), true},
      {"a target with its port", split("http", "archive.example.com", 8080), true},
      {"another server", split("https", "evil.test", 443), false},
      {"the page's host over http", split("http", "shop.example.com", 80), false},
      {"the page's host on another port", split("https", "shop.example.com", 8443), false},
      {"a subdomain of the page's host", split("https", "www.shop.example.com", 443), false},
      {"the wildcard target's own domain", split("https", "uploads.example.org", 443), false},
      {"a target on another port", split("http", "archive.example.com", 80), false},
      {"a scheme that is not the web's", split("ftp", "shop.example.com", 21), false},
      {"the scheme in capitals opens no request", split("HTTPS", "shop.example.com", 443), false},
      {"a host that hides another behind user information", split("https", "shop.example.com@evil.test", 443), false},
      {"a host with a path in it", split("https", "evil.test/shop.example.com", 443), false},
      {"an IPv6 literal", split("https", "[::1]", 443), false},
      {"a URL that did not split", std::nullopt, false},
  };
  for (const auto& c : cases) {
    const std::optional<std::string> message = RefusedUploadMessage(c.destination, "https://shop.example.com/scan.html?x=1", kTargets);
    EXPECT_EQ(!message, c.allowed) << c.what;
    if (message) {
      EXPECT_EQ(*message, kShopRefusal) << c.what;
    }
  }
}

TEST(UploadDestination, APageWithoutAWebOriginUploadsNowhere) {
  for (const char* page : {"", "about:blank", "file:///C:/page.html", "x-pagewell-service:local"}) {
    const std::optional<std::string> message = RefusedUploadMessage(split("https", "shop.example.com", 443), page, {});
    ASSERT_TRUE(message) << page;
    EXPECT_EQ(*message, "Uploads are refused: this page has no web origin the control could send to") << page;
  }
}

TEST(UploadDestination, NoUploadTargetsLeavesThePagesOwnOrigin) {
  EXPECT_FALSE(RefusedUploadMessage(split("http", "127.0.0.1", 8000), "http://127.0.0.1:8000", {}));
  EXPECT_TRUE(RefusedUploadMessage(split("http", "127.0.0.1", 8001), "http://127.0.0.1:8000", {}));
}

}  // namespace
}  // namespace pagewell
