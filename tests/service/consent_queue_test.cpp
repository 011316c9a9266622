// Which questions about unknown origins reach the user: one window at a
// time, one question per site, no question again after a denial.
#include "core/consent_queue.h"

#include <gtest/gtest.h>

namespace pagewell::service {
namespace {

using Clock = ConsentQueue::Clock;
using Added = ConsentQueue::Added;

struct Fixture {
  ConsentQueue queue;
  Clock::time_point now = Clock::now();
  // Asks about `origin` for a new connection and answers at once.
  void askAndAnswer(const std::string& origin, bool allowed) {
    queue.add(next++, origin);
    queue.startNext();
    queue.answer(allowed, now);
  }
  ConnectionId next = 100;
};

TEST(ConsentQueue, SitesAreRegistrableDomains) {
  const std::pair<const char*, const char*> cases[] = {
      {"https://scan.shop.example.co.uk:8443", "example.co.uk"},
      {"https://alice.github.io", "alice.github.io"},
      {"http://127.0.0.1:8000", "127.0.0.1"},
      {"http://[::1]:8080", "[::1]"},
      {"not an origin", "not an origin"},
  };
  for (const auto& [origin, site] : cases) EXPECT_EQ(siteOfOrigin(origin), site) << origin;
}

TEST(ConsentQueue, OneWindowAtATimeInOrder) {
  Fixture f;
  EXPECT_EQ(f.queue.add(1, "https://a.example"), Added::Queued);
  EXPECT_EQ(f.queue.add(2, "https://b.example.org"), Added::Queued);
  EXPECT_EQ(f.queue.startNext(), "https://a.example");
  EXPECT_EQ(f.queue.startNext(), std::nullopt);  // the first window is still open
  EXPECT_EQ(f.queue.answer(true, f.now), (std::vector<ConnectionId>{1}));
  EXPECT_EQ(f.queue.startNext(), "https://b.example.org");
  EXPECT_EQ(f.queue.answer(false, f.now), (std::vector<ConnectionId>{2}));
  EXPECT_EQ(f.queue.startNext(), std::nullopt);
}

TEST(ConsentQueue, OneQuestionPerSite) {
  Fixture f;
  EXPECT_EQ(f.queue.add(1, "https://scan.shop.test"), Added::Queued);
  f.queue.startNext();
  // The same origin waits for the same answer, open or not yet ...
  EXPECT_EQ(f.queue.add(2, "https://scan.shop.test"), Added::Joined);
  // ... a fresh subdomain of the same site gets no window of its own.
  EXPECT_EQ(f.queue.add(3, "https://x1.shop.test"), Added::Refused);
  EXPECT_EQ(f.queue.answer(true, f.now), (std::vector<ConnectionId>{1, 2}));
  EXPECT_EQ(f.queue.add(4, "https://x1.shop.test"), Added::Queued);  // asked once the first is answered
}

TEST(ConsentQueue, AQueueAPageFilledIsCutShort) {
  Fixture f;
  for (size_t i = 0; i < ConsentQueue::kMaxQuestions; ++i)
    EXPECT_EQ(f.queue.add(i, "https://site" + std::to_string(i) + ".test"), Added::Queued);
  EXPECT_EQ(f.queue.add(99, "https://one-more.test"), Added::Refused);
}

TEST(ConsentQueue, DenialsAreRemembered) {
  struct Case {
    const char* what;
    std::vector<std::pair<std::string, int>> denials;  // origin, minutes before the last
    std::string next;
    bool refused;
  };
  const Case cases[] = {
      {"a denied origin is not asked again", {{"https://a.pest.test", 0}}, "https://a.pest.test", true},
      {"one denial leaves the rest of the site", {{"https://a.pest.test", 0}}, "https://b.pest.test", false},
      {"two denials within ten minutes block the site", {{"https://a.pest.test", 9}, {"https://b.pest.test", 0}},
       "https://c.pest.test", true},
      {"two denials further apart do not", {{"https://a.pest.test", 11}, {"https://b.pest.test", 0}},
       "https://c.pest.test", false},
      {"another site is not touched", {{"https://a.pest.test", 1}, {"https://b.pest.test", 0}}, "https://shop.test",
       false},
  };
  for (const Case& c : cases) {
    Fixture f;
    Clock::time_point last = f.now;
    for (const auto& [origin, minutesBefore] : c.denials) {
      f.now = last - std::chrono::minutes(minutesBefore);
      f.askAndAnswer(origin, false);
    }
    EXPECT_EQ(f.queue.refusedWithoutAsking(c.next), c.refused) << c.what;
    EXPECT_EQ(f.queue.add(1, c.next) == Added::Refused, c.refused) << c.what;
  }
}

}  // namespace
}  // namespace pagewell::service
