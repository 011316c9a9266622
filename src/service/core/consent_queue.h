#pragma once
// Which questions about unknown origins are put to the user, and when.
//
// One window at a time, and at most one question per site (a registrable
// domain such as example.co.uk): a page that opens connections from one
// fresh subdomain after another gets one question, not a stack of them.
// Connections from the origin being asked about wait for the same answer.
// An origin the user denied is not asked about again while the service
// runs, and neither is a site the user denied twice within ten minutes.
//
// Plain bookkeeping: the caller shows the windows, keeps the time and
// serialises the calls.
#include <chrono>
#include <cstddef>
#include <deque>
#include <map>
#include <optional>
#include <set>
#include <string>
#include <vector>

#include "connection.h"

namespace pagewell::service {

// The site of an origin as browsers send it: its registrable domain
// ("https://scan.shop.example.co.uk:8443" -> "example.co.uk"); the text
// itself for what is no origin.
std::string siteOfOrigin(const std::string& origin);

class ConsentQueue {
 public:
  using Clock = std::chrono::steady_clock;

  // Questions waiting beyond this many are refused: a person answers a few
  // windows, not a queue a page filled.
  static constexpr size_t kMaxQuestions = 4;
  static constexpr std::chrono::minutes kRepeatedDenialWindow{10};

  // Whether the user's earlier answers already refuse `origin`.
  bool refusedWithoutAsking(const std::string& origin) const;

  enum class Added { Queued, Joined, Refused };
  // A connection wants an answer about `origin`.
  Added add(ConnectionId connection, const std::string& origin);

  // The origin to ask about next, once no window is open; it stays the
  // open question until answered.
  std::optional<std::string> startNext();
  // The user's answer to the open question: the connections that waited.
  std::vector<ConnectionId> answer(bool allowed, Clock::time_point now);

 private:
  struct Question {
    std::string origin;
    std::string site;
    std::vector<ConnectionId> waiting;
  };

  Question* questionFor(const std::string& site);
  

  std::deque<Question> questions_;  // the open one first, when open_
  bool open_ = false;
  std::set<std::string> deniedOrigins_;
  std::map<std::string, std::vector<Clock::time_point>> siteDenials_;
  std::set<std::string> blockedSites_;
};

}  // namespace pagewell::service
