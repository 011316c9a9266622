#include "control_sessions.h"

namespace pagewell::service {

bool ControlSessions::openSession(ConnectionId connection, const std::string& origin) {
  if (active_ != 0) return false;
  active_ = connection;
  post({ControlTask::Kind::SessionStarted, connection, {}, origin});
  return true;
}

void ControlSessions::closeSession(ConnectionId connection) {
  if (active_ != connection) return;
  active_ = 0;
  post({ControlTask::Kind::SessionEnded, connection, {}, {}});
}

void ControlSessions::handleRequest(ConnectionId connection, ControlRequest request) {
  if (connection == active_) post({ControlTask::Kind::Request, connection, std::move(request), {}});
}

std::string ControlSessions::status() {
  return toJson(Json(Json::Object{{"service", "Pagewell"}, {"busy", active_ != 0}}));
}

void ControlSessions::post(ControlTask task) {
  auto owned = std::make_unique<ControlTask>(std::move(task));
  if (PostMessageW(window_, message_, 0, reinterpret_cast<LPARAM>(owned.get()))) owned.release();
}

std::unique_ptr<ControlTask> ControlSessions::takeTask(LPARAM lParam) {
  return std::unique_ptr<ControlTask>(reinterpret_cast<ControlTask*>(lParam));
}

}  // namespace pagewell::service
