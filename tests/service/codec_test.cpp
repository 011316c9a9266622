// The handshake's hash and base64, against the published test vectors.
#include <gtest/gtest.h>

#include "core/base64.h"
#include "core/sha1.h"
#include "core/websocket_handshake.h"

namespace pagewell::service {
namespace {

std::string hex(const std::array<uint8_t, 20>& digest) {
  static const char digits[] = "0123456789abcdef";
  std::string text;
  for (uint8_t byte : digest) text += {digits[byte >> 4], digits[byte & 15]};
  return text;
}

TEST(Sha1, FipsVectorsAndBlockBoundaries) {
  EXPECT_EQ(hex(sha1("abc")), "a9993e364706816aba3e25717850c26c9cd0d89d");
  EXPECT_EQ(hex(sha1("")), "da39a3ee5e6b4b0d3255bfef95601890afd80709");
  // 56 bytes: the length no longer fits the first block.
  EXPECT_EQ(hex(sha1("abcdbcdecdefdefgefghfghighijhijkijkljklmklmnlmnomnopnopq")),
            "84983e441c3bd26ebaae4aa1f95129e5e54670f1");
  EXPECT_EQ(hex(sha1(std::string(1000000, 'a'))), "34aa973cd4c4daa4f61eeb2bdbad27316534016f");
}

TEST(Base64, RoundTripsAndRefusesNonCanonicalText) {
  const std::pair<std::string, std::string> cases[] = {
      {"", ""}, {"f", "Zg=="}, {"fo", "Zm8="}, {"foo", "Zm9v"}, {"foobar", "Zm9vYmFy"}};
  for (const auto& [plain, encoded] : cases) {
    EXPECT_EQ(base64Encode(reinterpret_cast<const uint8_t*>(plain.data()), plain.size()), encoded);
    auto decoded = base64Decode(encoded);
    ASSERT_TRUE(decoded) << encoded;
    EXPECT_EQ(std::string(decoded->begin(), decoded->end()), plain);
  }
  for (const char* bad : {"Zg=", "Zh==", "Zm9=", "Z===", "Zg==Zg==", "Zm9v!A==", "=Zm9"})
    EXPECT_FALSE(base64Decode(bad)) << bad;
}

TEST(WebSocketAccept, TheExampleOfTheRfc) {
  // RFC 6455 section 1.3.
  EXPECT_EQ(websocketAccept("dGhlIHNhbXBsZSBub25jZQ=="), "s3pPLMBiTxaQ9kYGzzhZRbK+xOo=");
}

}  // namespace
}  // namespace pagewell::service
