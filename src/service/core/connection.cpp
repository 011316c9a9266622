#include "connection.h"

#include "http_answers.h"
#include "websocket_handshake.h"

namespace pagewell::service {

Connection::Connection(ConnectionId id, unsigned port, OriginGate& gate, SessionHost& host)
    : id_(id), port_(port), gate_(gate), host_(host) {}

Connection::~Connection() { closed(); }

void Connection::receive(std::string_view bytes) {
  if (state_ == State::Done) return;
  if (state_ == State::Session) return receiveFrames(bytes);
  request_.append(bytes);
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
  // Bytes that came after an upgrade request are already the page's frames.
  if (state_ == State::Session && !rest.empty()) receiveFrames(rest);
}

// The order matters: Host and Origin are checked before the request is
// looked at any further, so a refused page starts nothing.
void Connection::answerRequest(const HttpRequest& request) {
  std::optional<std::string> host = request.field("host");
  if (!host || !isServiceHost(*host, port_)) return finish(forbiddenAnswer("this service answers only to its loopback address"));
  std::optional<std::string> origin = request.field("origin");
  if (!origin || origin->empty() || *origin == "null") return finish(forbiddenAnswer("a request needs the page's Origin"));
  if (!gate_.admits(*origin)) return finish(forbiddenAnswer("this origin is not allowed to use the scanner"));

  std::string path = request.target.substr(0, request.target.find('?'));
  if (request.method == "OPTIONS") return finish(preflightAnswer(request, *origin));
  if (isWebSocketUpgrade(request)) {
    if (path != "/control") return finish(errorAnswer(404, "the WebSocket is at /control", *origin));
    return startSession(request, *origin);
  }
  if (request.method != "GET") return finish(errorAnswer(405, "only GET and the WebSocket", *origin));
  if (path != "/status") return finish(errorAnswer(404, "not found", *origin));
  finish(jsonAnswer(host_.status(), *origin));
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
    case Opcode::Close: close(CloseCode::Normal, {}); return;
    case Opcode::Binary: close(CloseCode::PolicyViolation, "pages send text messages only"); return;
    default: break;
  }
  ReadRequest read = readControlRequest(message.payload);
  if (!read.request) return close(CloseCode::InvalidData, read.error);
  host_.handleRequest(id_, std::move(*read.request));
}

void Connection::send(Opcode opcode, std::string_view payload) {
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
