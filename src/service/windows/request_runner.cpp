#include "request_runner.h"

#include <windows.h>
#include <wininet.h>

namespace pagewell::service {

bool RequestRunner::isRead(const ControlTask& task) {
  return task.kind == ControlTask::Kind::Request && (task.request.op == "get" || task.request.op == "members");
}

bool RequestRunner::renewsControl(const ControlTask& task) {
  return task.kind == ControlTask::Kind::SessionStarted || task.kind == ControlTask::Kind::SessionEnded;
}

void RequestRunner::take(std::unique_ptr<ControlTask> task, bool atTopLevel) {
  // A read of a session that has not started yet (it waits for the call
  // of the one before it) waits with its session.
  if (isRead(*task) && task->connection == session_) return run(*task);
  waiting_.push_back(std::move(task));
  runWaiting(atTopLevel);
}

void RequestRunner::retry(bool atTopLevel) { runWaiting(atTopLevel); }

void RequestRunner::runWaiting(bool atTopLevel) {
  while (running_ == 0 && !waiting_.empty()) {
    if (!atTopLevel && renewsControl(*waiting_.front())) {
      SetTimer(window_.window(), ControlWindow::kOwnerTimer, 250, nullptr);
      return;
    }
    std::unique_ptr<ControlTask> next = std::move(waiting_.front());
    waiting_.pop_front();
    run(*next);
  }
  if (waiting_.empty()) KillTimer(window_.window(), ControlWindow::kOwnerTimer);
}

void RequestRunner::run(ControlTask& task) {
  ++running_;
  switch (task.kind) {
    case ControlTask::Kind::SessionStarted: start(task); break;
    case ControlTask::Kind::SessionEnded: end(task.connection); break;
    case ControlTask::Kind::Request:
      if (task.connection == session_)
        answer(task.connection, task.request);
      else
        server_.answer(task.connection, Opcode::Text, errorMessage(task.request.id, "the session has ended"));
      break;
  }
  --running_;
}

// A page never sees anything of the session before it ...
void RequestRunner::start(const ControlTask& task) {
  // The control learns whose it is before the page's first request.
  if (!renewControl() || !extras_.servePage(task.origin)) {
    server_.send(task.connection, Opcode::Text, errorMessage(0, "the scanner's control cannot be started"));
    return;
  }
  session_ = task.connection;
}

// ... and what it scanned or set does not stay behind for the next one.
void RequestRunner::end(ConnectionId connection) {
  if (session_ != connection) return;
  session_ = 0;
  renewControl();
}

bool RequestRunner::renewControl() {
  // Every reference to the old control goes first: it closes its scanner
  // session as it is destroyed, before the new one opens its own.
  bridge_.attach(nullptr);
  extras_.attach(nullptr);
  std::wstring error;
  bool renewed = window_.renew(error);
  bridge_.attach(window_.automation());
  extras_.attach(window_.object());
  // WinInet keeps what a server's authentication left for the whole
  // process; a new page must not inherit it.
  InternetSetOptionW(nullptr, INTERNET_OPTION_END_BROWSER_SESSION, nullptr, 0);
  return renewed;
}

void RequestRunner::answer(ConnectionId connection, const ControlRequest& request) {
  BridgeOutcome outcome;
  std::string binary;
  if (request.op == "get") {
    outcome = bridge_.get(request.name);
  } else if (request.op == "put") {
    outcome = bridge_.put(request.name, request.value);
  } else if (request.op == "call") {
    outcome = bridge_.call(request.name, request.args);
  } else if (request.op == "members") {
    outcome.value = bridge_.members().describe();
  } else {
    outcome = extras_.run(request, binary);
  }
  if (!outcome.error.empty()) return server_.answer(connection, Opcode::Text, errorMessage(request.id, outcome.error));
  // A file or image follows its header as the next binary message.
  if (binary.empty()) return server_.answer(connection, Opcode::Text, resultMessage(request.id, outcome.value));
  server_.send(connection, Opcode::Text, resultMessage(request.id, outcome.value));
  server_.answer(connection, Opcode::Binary, std::move(binary));
}

void RequestRunner::forwardEvent(const std::string& name, Json::Array args) {
  if (session_ != 0) server_.send(session_, Opcode::Text, eventMessage(name, std::move(args)));
}

}  // namespace pagewell::service
