#include "consent_asker.h"

#include <optional>

#include "consent_window.h"
#include "pagewell_settings.h"

namespace pagewell::service {

ConsentAsker::ConsentAsker(Answered answered) : answered_(std::move(answered)) {
  std::mutex started;
  std::condition_variable ready;
  std::unique_lock<std::mutex> wait(started);
  thread_ = std::thread([&] {
    // The thread's message queue exists from here on, so that the WM_QUIT
    // of the destructor cannot be lost.
    MSG probe;
    PeekMessageW(&probe, nullptr, 0, 0, PM_NOREMOVE);
    {
      std::lock_guard<std::mutex> hold(started);
      threadId_ = GetCurrentThreadId();
    }
    ready.notify_one();
    run();
  });
  ready.wait(wait, [&] { return threadId_ != 0; });
}

ConsentAsker::~ConsentAsker() {
  {
    std::lock_guard<std::mutex> hold(lock_);
    stopping_ = true;
  }
  wake_.notify_one();
  PostThreadMessageW(threadId_, WM_QUIT, 0, 0);
  thread_.join();
}

bool ConsentAsker::refusedWithoutAsking(const std::string& origin) {
  std::lock_guard<std::mutex> hold(lock_);
  return queue_.refusedWithoutAsking(origin);
}

void ConsentAsker::ask(ConnectionId connection, const std::string& origin) {
  ConsentQueue::Added added;
  {
    std::lock_guard<std::mutex> hold(lock_);
    added = stopping_ ? ConsentQueue::Added::Refused : queue_.add(connection, origin);
  }
  if (added == ConsentQueue::Added::Refused) return answered_(connection, false);
  wake_.notify_one();
}

void ConsentAsker::run() {
  for (;;) {
    std::optional<std::string> origin;
    {
      std::unique_lock<std::mutex> hold(lock_);
      wake_.wait(hold, [&] { return stopping_ || (origin = queue_.startNext()).has_value(); });
      if (stopping_) return;
    }
    Consent consent = askUserAbout(*origin, siteOfOrigin(*origin));
    if (consent == Consent::AlwaysAllow) addUserApproval(*origin);
    bool allowed = consent != Consent::Deny;
    std::vector<ConnectionId> waiting;
    {
      std::lock_guard<std::mutex> hold(lock_);
      waiting = queue_.answer(allowed, ConsentQueue::Clock::now());
    }
    for (ConnectionId connection : waiting) answered_(connection, allowed);
  }
}

}  // namespace pagewell::service
