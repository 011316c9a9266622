#pragma once
// The DSM callback path: the manager may call the session's callback on a
// thread of its own. TXferThread hands the transfer back to the thread that
// owns the session's hidden window: it queues the call and wakes that thread
// with WM_USER + 1, whose handler runs the queue. It does no TWAIN work.
#include <deque>
#include <functional>
#include <memory>
#include <mutex>

#include <windows.h>

namespace pagewell {

class TluTwain;

constexpr UINT kRunQueuedCallsMessage = WM_USER + 1;

// Calls queued by other threads for the window's thread.
class TSyncQueue {
 public:
  void Push(std::function<void()> call);
  // Runs every queued call, including calls queued while running.
  void RunAll();

 private:
  std::mutex mutex_;
  std::deque<std::function<void()>> calls_;
};

class TXferThread {
 public:
  // Starts a thread that asks the window's thread to run the session's
  // TransferImages and then ends; the thread frees itself.
  static void Start(TluTwain& session, std::shared_ptr<TSyncQueue> queue, HWND window);

 private:
  TXferThread(TluTwain& session, std::shared_ptr<TSyncQueue> queue, HWND window)
      : session_(&session), queue_(std::move(queue)), window_(window) {}
  void Execute();

  TluTwain* session_;
  std::shared_ptr<TSyncQueue> queue_;
  HWND window_;
};

}  // namespace pagewell
