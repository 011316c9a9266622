#pragma once
// Puts the questions about unknown origins to the user on a thread of their
// own, so that the network thread goes on serving every other connection
// while a window waits for its answer. One window at a time; which
// questions are asked, and which are refused outright, is ConsentQueue's.
// "Always allow" goes on the user's list of approvals.
#include <windows.h>

#include <condition_variable>
#include <functional>
#include <mutex>
#include <string>
#include <thread>

#include "core/consent_queue.h"

namespace pagewell::service {

class ConsentAsker {
 public:
  // Called on the asking thread with each connection's answer.
  using Answered = std::function<void(ConnectionId connection, bool admitted)>;
  explicit ConsentAsker(Answered answered);
  // An open window goes (a denial) and the thread ends.
  ~ConsentAsker();
  ConsentAsker(const ConsentAsker&) = delete;
  ConsentAsker& operator=(const ConsentAsker&) = delete;

  bool refusedWithoutAsking(const std::string& origin);
  // Any thread: the answer comes through `answered`, at once when the
  // question is refused without a window.
  void ask(ConnectionId connection, const std::string& origin);

 private:
  void run();

  Answered answered_;
  std::mutex lock_;
  std::condition_variable wake_;
  ConsentQueue queue_;
  bool stopping_ = false;
  DWORD threadId_ = 0;
  std::thread thread_;
};

}  // namespace pagewell::service
