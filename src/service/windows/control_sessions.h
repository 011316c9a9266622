#pragma once
// The worker thread's side of the sessions: which connection is the one
// page that drives the control, and the hand-over of its requests to the
// control's thread, as tasks posted to the control's window.
#include <windows.h>

#include <memory>

#include "core/connection.h"

namespace pagewell::service {

struct ControlTask {
  enum class Kind { SessionStarted, SessionEnded, Request };
  Kind kind;
  ConnectionId connection;
  ControlRequest request;
  std::string origin;  // the page's, for SessionStarted
};

class ControlSessions final : public SessionHost {
 public:
  // Tasks go to `window` as `message` with the task in lParam; the receiver
  // takes ownership with takeTask().
  ControlSessions(HWND window, UINT message) : window_(window), message_(message) {}

  bool openSession(ConnectionId connection, const std::string& origin) override;
  void closeSession(ConnectionId connection) override;
  void handleRequest(ConnectionId connection, ControlRequest request) override;
  std::string status() override;

  static std::unique_ptr<ControlTask> takeTask(LPARAM lParam);

 private:
  void post(ControlTask task);

  HWND window_;
  UINT message_;
  ConnectionId active_ = 0;  // the worker thread's alone
};

}  // namespace pagewell::service
