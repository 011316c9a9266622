#include "twain/xfer_thread.h"

#include <thread>

#include "twain/lu_twain.h"

namespace pagewell {

void TSyncQueue::Push(std::function<void()> call) {
  std::lock_guard<std::mutex> lock(mutex_);
  calls_.push_back(std::move(call));
}

void TSyncQueue::RunAll() {
  for (;;) {
    std::function<void()> call;
    {
      std::lock_guard<std::mutex> lock(mutex_);
      if (calls_.empty()) return;
      call = std::move(calls_.front());
      calls_.pop_front();
    }
    call();
  }
}

void TXferThread::Start(TluTwain& session, std::shared_ptr<TSyncQueue> queue, HWND window) {
  // The thread object lives on the new thread's stack and goes when it ends.
  std::thread([xfer = TXferThread(session, std::move(queue), window)]() mutable { xfer.Execute(); }).detach();
}

void TXferThread::Execute() {
  // The queued call runs on the window's thread, inside the session's own
  // window procedure, so the session is alive whenever it runs.
  TluTwain* session = session_;
  queue_->Push([session] { session->TransferImages(); });
  PostMessageA(window_, kRunQueuedCallsMessage, 0, 0);
}

}  // namespace pagewell
