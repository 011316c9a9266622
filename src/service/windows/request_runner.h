#pragma once
// The control's thread's side of the sessions: runs the page's requests
// against the control and sends the answers and the control's events back.
//
// A call such as a scan runs a message loop of its own, in which the next
// requests already arrive. Reads answer at once (a page's OnAcquire handler
// reading ImageCount during the scan, as in the browser); writes, calls
// and the start or end of a session wait until the running call returns,
// so that they happen in the order the page sent them and never under a
// call that is still working.
//
// Each session starts with a control nobody has touched and leaves nothing
// behind: the control is renewed when a session starts and when it ends.
// A control is never destroyed under its own feet: while a message loop of
// the control's (a dialog the user opened in the service's window) is
// running, a renewal waits, and everything after it with it.
#include <deque>
#include <memory>

#include "control_bridge.h"
#include "control_sessions.h"
#include "control_window.h"
#include "loopback_server.h"
#include "service_extras.h"

namespace pagewell::service {

class RequestRunner {
 public:
  RequestRunner(ControlWindow& window, ControlBridge& bridge, ServiceExtras& extras, LoopbackServer& server)
      : window_(window), bridge_(bridge), extras_(extras), server_(server) {}

  // `atTopLevel`: the service's own message loop delivered the task, so no
  // call of the control's is on the stack.
  void take(std::unique_ptr<ControlTask> task, bool atTopLevel);
  // Runs what waited for the control's own message loop to end.
  void retry(bool atTopLevel);
  // An event of the control, for the page of the session.
  void forwardEvent(const std::string& name, Json::Array args);

 private:
  static bool isRead(const ControlTask& task);
  static bool renewsControl(const ControlTask& task);
  void runWaiting(bool atTopLevel);
  void run(ControlTask& task);
  void answer(ConnectionId connection, const ControlRequest& request);
  void start(const ControlTask& task);
  void end(ConnectionId connection);
  bool renewControl();

  ControlWindow& window_;
  ControlBridge& bridge_;
  ServiceExtras& extras_;
  LoopbackServer& server_;
  ConnectionId session_ = 0;
  int running_ = 0;
  std::deque<std::unique_ptr<ControlTask>> waiting_;
};

}  // namespace pagewell::service
