#pragma once
// One client connection of the service, from its first byte to its close:
// the HTTP request, the checks that come before anything else (Host, then
// Origin), then either a plain answer or the WebSocket session at /control.
// It is fed bytes and hands back bytes; the sockets and threads are the
// caller's.
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

#include "control_request.h"
#include "http_request.h"
#include "websocket_frame.h"

namespace pagewell::service {

using ConnectionId = uint64_t;

constexpr size_t kMaxMessageBytes = 64 * 1024;

// What the service knows of an origin without asking anyone.
enum class Admission { Admitted, Refused, AskUser };

// Whether an origin may use the service. Judging is quick and never waits
// for a person; an origin the user has to be asked about is put to them by
// ask(), and the answer comes back later, on the connection's own thread,
// through Connection::consentAnswered.
class OriginGate {
 public:
  virtual ~OriginGate() = default;
  virtual Admission admission(const std::string& origin) = 0;
  virtual void ask(ConnectionId connection, const std::string& origin) = 0;
};

// Where the requests of an open session go. The session is the one page
// that drives the scanner; a second one is refused as busy.
class SessionHost {
 public:
  virtual ~SessionHost() = default;
  virtual bool openSession(ConnectionId connection, const std::string& origin) = 0;
  virtual void closeSession(ConnectionId connection) = 0;
  // The answer comes later, through Connection::send on the same connection.
  virtual void handleRequest(ConnectionId connection, ControlRequest request) = 0;
  // A small JSON status for GET /status.
  virtual std::string status() = 0;
};

class Connection {
 public:
  Connection(ConnectionId id, unsigned port, OriginGate& gate, SessionHost& host);
  ~Connection();
  Connection(const Connection&) = delete;
  Connection& operator=(const Connection&) = delete;

  ConnectionId id() const { return id_; }
  // Received bytes.
  void receive(std::string_view bytes);
  // The peer went away, or the service ends the connection.
  void closed();
  // A message of the service to the page: a text or binary WebSocket
  // message. `completesRequest` marks the last message of the answer to one
  // of the page's requests.
  void send(Opcode opcode, std::string_view payload, bool completesRequest = false);
  // The user's answer about the origin of a connection that waits for it.
  void consentAnswered(bool admitted);
  // Ends the session with a Close frame, as when it stays idle too long.
  void close(CloseCode code, std::string_view reason);

  // The bytes to write now; once they are written and finished() is true,
  // the socket closes.
  std::string takeOutgoing();
  bool finished() const { return finished_; }
  bool isSession() const { return state_ == State::Session; }
  // Waiting for something other than the page: the user's answer, or the
  // control's answer to a request. Such a connection is never idle.
  bool busy() const { return state_ == State::AwaitingConsent || (state_ == State::Session && requestsInProgress_ > 0); }

 private:
  enum class State { Request, AwaitingConsent, Session, Done };

  void receiveRequest();
  void answerRequest(const HttpRequest& request);
  void askAbout(const HttpRequest& request, const std::string& origin);
  void startSession(const HttpRequest& request, const std::string& origin);
  void receiveFrames(std::string_view bytes);
  void handleMessage(WebSocketMessage& message);
  void finish(std::string lastBytes);

  ConnectionId id_;
  unsigned port_;
  OriginGate& gate_;
  SessionHost& host_;
  State state_ = State::Request;
  std::string request_;
  // While the user is asked: the upgrade request and its origin, and any
  // bytes the page sends meanwhile.
  std::optional<HttpRequest> awaiting_;
  std::string awaitingOrigin_;
  size_t requestsInProgress_ = 0;
  FrameReader frames_{kMaxMessageBytes};
  std::string outgoing_;
  bool finished_ = false;
  bool sessionOpen_ = false;
};

}  // namespace pagewell::service
