#include "connection.h"

#include <utility>

#include "http_answers.h"
#include "utf8.h"
#include "websocket_handshake.h"

namespace pagewell::service {
namespace {

// RFC 6455 5.5.1 and 7.4: a Close carries nothing, or a two-byte code and
// a UTF-8 reason. The codes below 1000, the ones only an endpoint's own
// report may use (1005, 1006, 1015) and the unassigned rest below 3000 are
// never on the wire; a page that sends one is answered as broken (1002)
// rather than as a normal goodbye.
bool isAcceptableClose(std::string_view payload) {
  if (payload.empty()) return true;
  if (payload.size() < 2) return false;
  unsigned code = static_cast<uint8_t>(payload[0]) << 8 | static_cast<uint8_t>(payload[1]);
  bool sendable = (code >= 1000 && code <= 1003) || (code >= 1007 && code <= 1014) || (code >= 3000 && code <= 4999);
  return sendable && isValidUtf8(payload.substr(2));
}

}  // namespace

Connection::Connection(ConnectionId id, unsigned port, OriginGate& gate, SessionHost& host)
    : id_(id), port_(port), gate_(gate), host_(host) {}

Connection::~Connection() { closed(); }

void Connection::receive(std::string_view bytes) {
  if (state_ == State::Done) return;
  if (state_ == State::Session) return receiveFrames(bytes);
  request_.append(bytes);
  if (state_ == State::AwaitingConsent) {
    // A page has nothing to say before its upgrade is answered.
    if (request_.size() > kMaxMessageBytes) finish(errorAnswer(400, "nothing may follow the upgrade before its answer", {}));
    return;
  }
  receiveRequest();
}

void Connection::receiveRequest() {
  std::optional<size_t> end = requestHeadEnd(request_);
  if (!end) {
    if (request_.size() > kMaxRequestHeadBytes) finish(errorAnswer(431, "request head too large", {}));
    return;
  }
  std::string rest = request_.substr(*end);
  std::optional<HttpRequest> request = parseRequestHead(std::string_view(request_).substr(0, *end));
  request_.clear();
  if (!request) return finish(errorAnswer(400, "malformed request", {}));
  answerRequest(*request);
  // Bytes that came after an upgrade request are already the page's frames;
  // while the user is asked they wait.
  if (state_ == State::Session && !rest.empty()) receiveFrames(rest);
  if (state_ == State::AwaitingConsent) request_ = std::move(rest);
}

// The order matters: Host and Origin are checked before the request is
// looked at any further, so a refused page starts nothing.
void Connection::answerRequest(const HttpRequest& request) {
  std::optional<std::string> host = request.field("host");
  if (!host || !isServiceHost(*host, port_)) return finish(forbiddenAnswer("this service answers only to its loopback address"));
  std::optional<std::string> origin = request.field("origin");
  if (!origin || origin->empty() || *origin == "null") return finish(forbiddenAnswer("a request needs the page's Origin"));
  std::string path = request.target.substr(0, request.target.find('?'));
  switch (gate_.admission(*origin)) {
    case Admission::Admitted: break;
    case Admission::Refused: return finish(forbiddenAnswer("this origin is not allowed to use the scanner"));
    case Admission::AskUser:
      // Only a page that opens the WebSocket may put a question to the
      // user: a form's POST or a stray request from another tab never
      // raises a window.
      if (request.method != "GET" || path != "/control" || !isWebSocketUpgrade(request) || !websocketKey(request))
        return finish(forbiddenAnswer("this origin is not allowed to use the scanner"));
      return askAbout(request, *origin);
  }

  if (request.method == "OPTIONS") return finish(preflightAnswer(request, *origin));
  if (isWebSocketUpgrade(request)) {
    if (path != "/control") return finish(errorAnswer(404, "the WebSocket is at /control", *origin));
    return startSession(request, *origin);
  }
  if (request.method != "GET") return finish(errorAnswer(405, "only GET and the WebSocket", *origin));
  if (path != "/status") return finish(errorAnswer(404, "not found", *origin));
  finish(jsonAnswer(host_.status(), *origin));
}

void Connection::askAbout(const HttpRequest& request, const std::string& origin) {
  state_ = State::AwaitingConsent;
  awaiting_ = request;
  awaitingOrigin_ = origin;
  gate_.ask(id_, origin);
}

void Connection::consentAnswered(bool admitted) {
  if (state_ != State::AwaitingConsent) return;
  HttpRequest request = std::move(*awaiting_);
  std::string origin = std::move(awaitingOrigin_);
  awaiting_.reset();
  if (!admitted) return finish(forbiddenAnswer("this origin is not allowed to use the scanner"));
  std::string early = std::exchange(request_, std::string());
  startSession(request, origin);
  if (state_ == State::Session && !early.empty()) receiveFrames(early);
}

void Connection::startSession(const HttpRequest& request, const std::string& origin) {
  std::optional<std::string> key = websocketKey(request);
  if (!key) return finish(errorAnswer(400, "a WebSocket version 13 handshake is expected", origin));
  outgoing_ += upgradeAnswer(*key);
  state_ = State::Session;
  sessionOpen_ = host_.openSession(id_, origin);
  if (!sessionOpen_) {
    send(Opcode::Text, toJson(Json(Json::Object{{"error", "busy: another page is using the scanner"},
                                                {"busy", true}})));
    close(CloseCode::TryAgainLater, "busy");
  }
}

void Connection::receiveFrames(std::string_view bytes) {
  std::vector<WebSocketMessage> messages;
  bool ok = frames_.receive(bytes, messages);
  for (WebSocketMessage& message : messages) {
    if (state_ != State::Session) return;
    handleMessage(message);
  }
  if (!ok && state_ == State::Session) close(frames_.failure(), "malformed frame");
}

void Connection::handleMessage(WebSocketMessage& message) {
  switch (message.opcode) {
    case Opcode::Ping: send(Opcode::Pong, message.payload); return;
    case Opcode::Pong: return;
    case Opcode::Close:
      close(isAcceptableClose(message.payload) ? CloseCode::Normal : CloseCode::ProtocolError, {});
      return;
    case Opcode::Binary: close(CloseCode::PolicyViolation, "pages send text messages only"); return;
    default: break;
  }
  ReadRequest read = readControlRequest(message.payload);
  if (!read.request) return close(CloseCode::InvalidData, read.error);
  ++requestsInProgress_;
  host_.handleRequest(id_, std::move(*read.request));
}

void Connection::send(Opcode opcode, std::string_view payload, bool completesRequest) {
  if (completesRequest && requestsInProgress_ > 0) --requestsInProgress_;
  if (state_ == State::Session) outgoing_ += encodeFrame(opcode, payload);
}

void Connection::close(CloseCode code, std::string_view reason) {
  if (state_ != State::Session) return;
  finish(encodeClose(code, reason));
}

void Connection::finish(std::string lastBytes) {
  outgoing_ += lastBytes;
  state_ = State::Done;
  finished_ = true;
  closed();
}

void Connection::closed() {
  state_ = State::Done;
  finished_ = true;
  if (sessionOpen_) {
    sessionOpen_ = false;
    host_.closeSession(id_);
  }
}

std::string Connection::takeOutgoing() { return std::exchange(outgoing_, std::string()); }

}  // namespace pagewell::service
