// The service's command line.
#include "core/service_options.h"

#include <gtest/gtest.h>

#include "core/origin_admission.h"
#include "support/origin_cases.h"

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
      {"--allow-origin", "https://a*.com"}, {"--allow-origin", "https://*.com"}, {"--verbose"},
      {"--minimized", "yes"},
  };
  for (const auto& arguments : cases) EXPECT_FALSE(parseServiceOptions(arguments).options) << arguments[0];
}

// Every entry of the shared table of cases (support/origin_cases.h) as the
// value of --allow-origin: refused entries stop the service with the
// reason; the others are kept in their normalised form and allow what they
// should.
TEST(ServiceOptions, TakesAllowedOriginsByTheSharedRule) {
  for (const testing::OriginCase& c : testing::kOriginCases) {
    ParsedOptions parsed = parseServiceOptions({"--allow-origin", c.entry});
    if (c.verdict == testing::Verdict::EntryRefused) {
      EXPECT_FALSE(parsed.options) << c.entry;
      EXPECT_NE(parsed.error.find("--allow-origin"), std::string::npos) << c.entry << ": " << parsed.error;
      continue;
    }
    ASSERT_TRUE(parsed.options) << c.entry << ": " << parsed.error;
    ASSERT_EQ(parsed.options->allowedOrigins.size(), 1u);
    OriginLists lists;
    lists.commandLine = parsed.options->allowedOrigins;
    EXPECT_EQ(judgeOrigin(c.page, lists).admission == Admission::Admitted, c.verdict == testing::Verdict::Allowed)
        << c.page << " against " << c.entry;
  }
  for (const testing::EntryTextCase& c : testing::kEntryTextCases) {
    ParsedOptions parsed = parseServiceOptions({"--allow-origin", c.entry});
    ASSERT_TRUE(parsed.options) << c.entry << ": " << parsed.error;
    EXPECT_EQ(parsed.options->allowedOrigins, std::vector<std::string>{c.normalised});
  }
}

TEST(ServiceOptions, SaysWhyAnAllowedOriginIsRefused) {
  EXPECT_NE(parseServiceOptions({"--allow-origin", "https://*.co.uk"}).error.find("public suffix"),
            std::string::npos);
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
