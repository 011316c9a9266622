#include "consent_queue.h"

#include <algorithm>

#include "origin/origin.h"
#include "origin/public_suffix.h"

namespace pagewell::service {

std::string siteOfOrigin(const std::string& origin) {
  Parsed<Origin> parsed = parseOrigin(origin);
  return parsed ? registrableDomain(parsed->host) : origin;
}

bool ConsentQueue::refusedWithoutAsking(const std::string& origin) const {
  return deniedOrigins_.count(origin) > 0 || blockedSites_.count(siteOfOrigin(origin)) > 0;
}

ConsentQueue::Question* ConsentQueue::questionFor(const std::string& site) {
  auto it = std::find_if(questions_.begin(), questions_.end(), [&](const Question& q) { return q.site == site; });
  return it == questions_.end() ? nullptr : &*it;
}

ConsentQueue::Added ConsentQueue::add(ConnectionId connection, const std::string& origin) {
  if (refusedWithoutAsking(origin)) return Added::Refused;
  std::string site = siteOfOrigin(origin);
  if (Question* question = questionFor(site)) {
    // The same origin waits for the answer already asked for; another
    // origin of the same site does not get a question of its own.
    if (question->origin != origin) return Added::Refused;
    question->waiting.push_back(connection);
    return Added::Joined;
  }
  if (questions_.size() >= kMaxQuestions) return Added::Refused;
  questions_.push_back({origin, std::move(site), {connection}});
  return Added::Queued;
}

std::optional<std::string> ConsentQueue::startNext() {
  if (open_ || questions_.empty()) return std::nullopt;
  open_ = true;
  return questions_.front().origin;
}

std::vector<ConnectionId> ConsentQueue::answer(bool allowed, Clock::time_point now) {
  if (!open_ || questions_.empty()) return {};
  Question question = std::move(questions_.front());
  questions_.pop_front();
  open_ = false;
  if (!allowed) {
    deniedOrigins_.insert(question.origin);
    std::vector<Clock::time_point>& denials = siteDenials_[question.site];
    denials.erase(std::remove_if(denials.begin(), denials.end(),
                                 [&](Clock::time_point t) { return now - t > kRepeatedDenialWindow; }),
                  denials.end());
    denials.push_back(now);
    if (denials.size() >= 2) blockedSites_.insert(question.site);
  }
  return std::move(question.waiting);
}

}  // namespace pagewell::service
