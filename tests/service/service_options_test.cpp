// The service's command line.
#include "core/service_options.h"

#include <gtest/gtest.h>

namespace pagewell::service {
namespace {

TEST(ServiceOptions, DefaultsAndEveryOption) {
  auto defaults = parseServiceOptions({});
  ASSERT_TRUE(defaults.options);
  EXPECT_EQ(defaults.options->port, 0u);  // the session's port
  EXPECT_TRUE(defaults.options->prompt);
  EXPECT_FALSE(defaults.options->minimized);
  auto all = parseServiceOptions({"--port", "8123", "--control", "C:\\x\\Pagewell.dll", "--allow-origin",
                                  "http://shop.test:8000", "--allow-origin", "https://*.example.com", "--no-prompt",
                                  "--idle-seconds", "5", "--minimized"});
  ASSERT_TRUE(all.options) << all.error;
  EXPECT_EQ(all.options->port, 8123u);
  EXPECT_EQ(all.options->controlPath, "C:\\x\\Pagewell.dll");
  EXPECT_EQ(all.options->allowedOrigins, (std::vector<std::string>{"http://shop.test:8000", "https://*.example.com"}));
  EXPECT_FALSE(all.options->prompt);
  EXPECT_EQ(all.options->idleSeconds, 5u);
  EXPECT_TRUE(all.options->minimized);
}

TEST(ServiceOptions, RefusesWhatItCannotUse) {
  const std::vector<std::vector<std::string>> cases = {
      {"--port"}, {"--port", "0"}, {"--port", "65536"}, {"--port", "80x"}, {"--idle-seconds", "0"},
      {"--allow-origin", "*"}, {"--allow-origin", "null"}, {"--allow-origin", "https://a.com/path"},
      {"--allow-origin", "https://a*.com"}, {"--verbose"}, {"--minimized", "yes"},
  };
  for (const auto& arguments : cases) EXPECT_FALSE(parseServiceOptions(arguments).options) << arguments[0];
}

// Each Windows session's service has a port of its own among those that
// pagewell.js tries, the console's the default.
TEST(ServiceOptions, SessionPorts) {
  const std::pair<unsigned long, unsigned> cases[] = {
      {0, 47115}, {1, 47115}, {2, 47116}, {3, 47117}, {64, 47178}, {65, 47116}};
  for (const auto& [session, port] : cases) {
    EXPECT_EQ(sessionPort(session), port) << session;
    EXPECT_LT(sessionPort(session), kDefaultPort + kSessionPorts);
  }
}

}  // namespace
}  // namespace pagewell::service
