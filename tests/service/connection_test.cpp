// One connection from request to session: the checks that come first, the
// plain answers and the WebSocket session.
#include "core/connection.h"

#include <gtest/gtest.h>

#include <set>

#include "client_frames.h"

namespace pagewell::service {
namespace {

constexpr unsigned kPort = 47115;

// Admits shop.test, would ask the user about ask.test, refuses the rest.
struct FakeGate : OriginGate {
  std::set<std::string> allowed{"http://shop.test:8000"};
  std::vector<std::string> asked;        // judged
  std::vector<std::string> questions;    // put to the user
  Admission admission(const std::string& origin) override {
    asked.push_back(origin);
    if (allowed.count(origin)) return Admission::Admitted;
    return origin == "http://ask.test" ? Admission::AskUser : Admission::Refused;
  }
  void ask(ConnectionId, const std::string& origin) override { questions.push_back(origin); }
};

struct FakeHost : SessionHost {
  bool busy = false;
  std::vector<std::string> events;  // "open", "close", "request op name"
  bool openSession(ConnectionId, const std::string& origin) override {
    events.push_back("open " + origin);
    return !busy;
  }
  void closeSession(ConnectionId) override { events.push_back("close"); }
  void handleRequest(ConnectionId, ControlRequest request) override {
    events.push_back("request " + request.op + " " + request.name);
  }
  std::string status() override { return "{\"busy\":false}"; }
};

std::string request(const std::string& firstLine, const std::string& fields) {
  return firstLine + "\r\n" + fields + "\r\n";
}

const std::string kUpgradeFields =
    "Upgrade: websocket\r\nConnection: keep-alive, Upgrade\r\nSec-WebSocket-Version: 13\r\n"
    "Sec-WebSocket-Key: dGhlIHNhbXBsZSBub25jZQ==\r\n";

struct Fixture {
  FakeGate gate;
  FakeHost host;
  Connection connection{1, kPort, gate, host};
  std::string answer(const std::string& bytes) {
    connection.receive(bytes);
    return connection.takeOutgoing();
  }
};

TEST(ConnectionChecks, RefusedBeforeAnythingElse) {
  struct Case {
    const char* what;
    std::string bytes;
    bool originAsked;
  };
  const std::string upgrade = "GET /control HTTP/1.1";
  const Case cases[] = {
      {"wrong host", request(upgrade, "Host: evil.test:47115\r\nOrigin: http://shop.test:8000\r\n" + kUpgradeFields), false},
      {"right name, wrong port", request(upgrade, "Host: localhost:80\r\nOrigin: http://shop.test:8000\r\n" + kUpgradeFields), false},
      {"no host", request(upgrade, "Origin: http://shop.test:8000\r\n" + kUpgradeFields), false},
      {"two hosts", request(upgrade, "Host: 127.0.0.1:47115\r\nHost: evil.test\r\nOrigin: http://shop.test:8000\r\n" + kUpgradeFields), false},
      {"no origin", request(upgrade, "Host: 127.0.0.1:47115\r\n" + kUpgradeFields), false},
      {"null origin", request(upgrade, "Host: 127.0.0.1:47115\r\nOrigin: null\r\n" + kUpgradeFields), false},
      {"forged origin", request(upgrade, "Host: [::1]:47115\r\nOrigin: http://evil.test\r\n" + kUpgradeFields), true},
      {"simple cross-site POST",
       request("POST /control HTTP/1.1", "Host: 127.0.0.1:47115\r\nOrigin: http://evil.test\r\n"
                                         "Content-Type: text/plain\r\nContent-Length: 2\r\n") + "{}",
       true},
  };
  for (const Case& c : cases) {
    Fixture f;
    std::string answer = f.answer(c.bytes);
    EXPECT_EQ(answer.substr(0, 22), "HTTP/1.1 403 Forbidden") << c.what;
    EXPECT_EQ(answer.find("Access-Control-Allow-Origin"), std::string::npos) << c.what;
    EXPECT_EQ(f.gate.asked.size(), c.originAsked ? 1u : 0u) << c.what;
    EXPECT_TRUE(f.host.events.empty()) << c.what;
    EXPECT_TRUE(f.connection.finished()) << c.what;
  }
}

// Only a page that opens the WebSocket may raise the consent window; the
// rest of what an unknown origin sends is refused without a question.
TEST(ConnectionChecks, OnlyAWebSocketUpgradeAsksTheUser) {
  const std::string fields = "Host: 127.0.0.1:47115\r\nOrigin: http://ask.test\r\n";
  struct Case {
    const char* what;
    std::string bytes;
    bool asks;
  };
  const Case cases[] = {
      {"upgrade to /control", request("GET /control HTTP/1.1", fields + kUpgradeFields), true},
      {"simple cross-site POST", request("POST /control HTTP/1.1", fields + "Content-Type: text/plain\r\nContent-Length: 0\r\n"), false},
      {"status", request("GET /status HTTP/1.1", fields), false},
      {"preflight", request("OPTIONS /control HTTP/1.1", fields + "Access-Control-Request-Method: GET\r\n"), false},
      {"upgrade elsewhere", request("GET /other HTTP/1.1", fields + kUpgradeFields), false},
      {"upgrade without a key", request("GET /control HTTP/1.1", fields + "Upgrade: websocket\r\nConnection: Upgrade\r\nSec-WebSocket-Version: 13\r\n"), false},
  };
  for (const Case& c : cases) {
    Fixture f;
    std::string answer = f.answer(c.bytes);
    EXPECT_EQ(f.gate.questions.size(), c.asks ? 1u : 0u) << c.what;
    EXPECT_EQ(answer.empty(), c.asks) << c.what << "\n" << answer;
    EXPECT_EQ(f.connection.busy(), c.asks) << c.what;
    if (!c.asks) {
      EXPECT_EQ(answer.substr(0, 22), "HTTP/1.1 403 Forbidden") << c.what;
    }
  }
}

TEST(ConnectionChecks, TheUsersAnswerOpensOrRefusesTheSession) {
  const std::string upgrade = request("GET /control HTTP/1.1", "Host: 127.0.0.1:47115\r\nOrigin: http://ask.test\r\n" + kUpgradeFields);
  Fixture allowed;
  // A message the page sends early waits for the answer with it.
  EXPECT_EQ(allowed.answer(upgrade + clientFrame(Opcode::Text, R"({"id":1,"op":"get","name":"ImageCount"})", true)), "");
  allowed.connection.consentAnswered(true);
  EXPECT_NE(allowed.connection.takeOutgoing().find("HTTP/1.1 101 Switching Protocols"), std::string::npos);
  EXPECT_EQ(allowed.host.events, (std::vector<std::string>{"open http://ask.test", "request get ImageCount"}));

  Fixture denied;
  denied.answer(upgrade);
  denied.connection.consentAnswered(false);
  EXPECT_EQ(denied.connection.takeOutgoing().substr(0, 22), "HTTP/1.1 403 Forbidden");
  EXPECT_TRUE(denied.connection.finished());
  EXPECT_TRUE(denied.host.events.empty());
}

TEST(ConnectionChecks, PlainRequestsOfAnAllowedOrigin) {
  struct Case {
    const char* what;
    std::string bytes;
    std::string statusLine;
    std::vector<std::string> fields;
    bool privateNetwork;
  };
  const std::string allowed = "Host: localhost:47115\r\nOrigin: http://shop.test:8000\r\n";
  const Case cases[] = {
      {"status", request("GET /status HTTP/1.1", allowed), "HTTP/1.1 200 OK", {"Content-Type: application/json"}, false},
      {"POST changes nothing", request("POST /control HTTP/1.1", allowed + "Content-Length: 0\r\n"),
       "HTTP/1.1 405 Method Not Allowed", {"Allow: GET, OPTIONS"}, false},
      {"unknown path", request("GET /files HTTP/1.1", allowed), "HTTP/1.1 404 Not Found", {}, false},
      {"upgrade elsewhere", request("GET /other HTTP/1.1", allowed + kUpgradeFields), "HTTP/1.1 404 Not Found", {}, false},
      {"preflight", request("OPTIONS /status HTTP/1.1", allowed + "Access-Control-Request-Method: POST\r\n"),
       "HTTP/1.1 204 No Content", {"Access-Control-Allow-Methods: GET"}, false},
      {"private-network preflight",
       request("OPTIONS /status HTTP/1.1", allowed + "Access-Control-Request-Method: GET\r\n"
                                                     "Access-Control-Request-Private-Network: true\r\n"),
       "HTTP/1.1 204 No Content", {"Access-Control-Allow-Private-Network: true"}, true},
      {"old handshake", request("GET /control HTTP/1.1", allowed + "Upgrade: websocket\r\nConnection: Upgrade\r\n"
                                                                 "Sec-WebSocket-Version: 8\r\nSec-WebSocket-Key: dGhlIHNhbXBsZSBub25jZQ==\r\n"),
       "HTTP/1.1 400 Bad Request", {}, false},
  };
  for (const Case& c : cases) {
    Fixture f;
    std::string answer = f.answer(c.bytes);
    EXPECT_EQ(answer.substr(0, c.statusLine.size()), c.statusLine) << c.what << "\n" << answer;
    EXPECT_NE(answer.find("Access-Control-Allow-Origin: http://shop.test:8000\r\n"), std::string::npos) << c.what;
    for (const std::string& field : c.fields) EXPECT_NE(answer.find(field + "\r\n"), std::string::npos) << c.what;
    EXPECT_EQ(answer.find("Private-Network") != std::string::npos, c.privateNetwork) << c.what;
    EXPECT_TRUE(f.host.events.empty()) << c.what;
  }
}

TEST(ConnectionChecks, MalformedOrOversizedRequestHeads) {
  Fixture big;
  EXPECT_EQ(big.answer("GET / HTTP/1.1\r\nX: " + std::string(kMaxRequestHeadBytes, 'a')).substr(0, 12), "HTTP/1.1 431");
  const char* malformed[] = {"GET /control HTTP/1.0\r\n\r\n", "GET control HTTP/1.1\r\n\r\n",
                             "GET / HTTP/1.1\r\nBad Field: x\r\n\r\n", "GET / HTTP/1.1\r\nX: a\rb\r\n\r\n",
                             "GET / HTTP/1.1\r\n folded\r\n\r\n"};
  for (const char* bytes : malformed) {
    Fixture f;
    EXPECT_EQ(f.answer(bytes).substr(0, 12), "HTTP/1.1 400") << bytes;
  }
}

TEST(ConnectionSession, UpgradesAndPassesRequestsInOrder) {
  Fixture f;
  std::string answer = f.answer(request("GET /control HTTP/1.1", "Host: 127.0.0.1:47115\r\nOrigin: http://shop.test:8000\r\n" + kUpgradeFields) +
                                clientFrame(Opcode::Text, R"({"id":1,"op":"get","name":"ImageCount"})", true));
  EXPECT_NE(answer.find("HTTP/1.1 101 Switching Protocols\r\n"), std::string::npos);
  EXPECT_NE(answer.find("Sec-WebSocket-Accept: s3pPLMBiTxaQ9kYGzzhZRbK+xOo=\r\n"), std::string::npos);
  f.connection.receive(clientFrame(Opcode::Text, R"({"id":2,"op":"call","name":"Clear","args":[]})", true) +
                       clientFrame(Opcode::Ping, "p", true));
  EXPECT_EQ(f.connection.takeOutgoing(), encodeFrame(Opcode::Pong, "p"));
  f.connection.send(Opcode::Text, "{\"id\":1,\"result\":0}");
  EXPECT_EQ(f.connection.takeOutgoing(), encodeFrame(Opcode::Text, "{\"id\":1,\"result\":0}"));
  EXPECT_EQ(f.host.events, (std::vector<std::string>{"open http://shop.test:8000", "request get ImageCount", "request call Clear"}));
  f.connection.closed();
  EXPECT_EQ(f.host.events.back(), "close");
}

// A page awaiting a long scan sends nothing; until the control answers, the
// session is busy, not idle.
TEST(ConnectionSession, BusyWhileARequestAwaitsItsAnswer) {
  Fixture f;
  f.answer(request("GET /control HTTP/1.1", "Host: 127.0.0.1:47115\r\nOrigin: http://shop.test:8000\r\n" + kUpgradeFields));
  EXPECT_FALSE(f.connection.busy());
  f.connection.receive(clientFrame(Opcode::Text, R"({"id":1,"op":"acquire"})", true) +
                       clientFrame(Opcode::Text, R"({"id":2,"op":"get","name":"ImageCount"})", true));
  EXPECT_TRUE(f.connection.busy());
  f.connection.send(Opcode::Text, R"({"event":"OnAcquire","args":[]})");
  f.connection.send(Opcode::Text, R"({"id":2,"result":1})", true);
  EXPECT_TRUE(f.connection.busy());  // the scan still runs
  f.connection.send(Opcode::Text, R"({"id":1,"result":true})", true);
  EXPECT_FALSE(f.connection.busy());
}

TEST(ConnectionSession, ASecondPageIsToldTheScannerIsBusy) {
  Fixture f;
  f.host.busy = true;
  std::string answer = f.answer(request("GET /control HTTP/1.1", "Host: 127.0.0.1:47115\r\nOrigin: http://shop.test:8000\r\n" + kUpgradeFields));
  EXPECT_NE(answer.find("101 Switching Protocols"), std::string::npos);
  EXPECT_NE(answer.find("busy: another page is using the scanner"), std::string::npos);
  EXPECT_NE(answer.find(encodeClose(CloseCode::TryAgainLater, "busy")), std::string::npos);
  EXPECT_TRUE(f.connection.finished());
  EXPECT_EQ(f.host.events, (std::vector<std::string>{"open http://shop.test:8000"}));  // no close of a session never opened
}

TEST(ConnectionSession, MalformedMessagesEndOnlyThisConnection) {
  // The page's Close ends the session too: with 1000, or 1002 when it is malformed.
  const std::pair<std::string, CloseCode> cases[] = {
      {clientFrame(Opcode::Text, "{not json", true), CloseCode::InvalidData},
      {clientFrame(Opcode::Text, R"({"id":"1","op":"get","name":"A"})", true), CloseCode::InvalidData},
      {clientFrame(Opcode::Text, R"({"id":1,"op":"delete","name":"A"})", true), CloseCode::InvalidData},
      {clientFrame(Opcode::Text, R"({"id":1,"op":"get","name":"A;B"})", true), CloseCode::InvalidData},
      {clientFrame(Opcode::Text, R"({"id":1,"op":"put","name":"A"})", true), CloseCode::InvalidData},
      {clientFrame(Opcode::Text, R"({"id":1,"op":"call","name":"A","args":[1,2,3,4,5,6,7,8,9,10,11,12,13,14,15,16,17]})", true), CloseCode::InvalidData},
      {clientFrame(Opcode::Binary, "x", true), CloseCode::PolicyViolation},
      {clientFrame(Opcode::Text, std::string(kMaxMessageBytes + 1, ' '), true), CloseCode::TooBig},
      {encodeFrame(Opcode::Text, "{}"), CloseCode::ProtocolError},
      // Close codes no endpoint sends, a code cut short, a reason not UTF-8.
      {clientFrame(Opcode::Close, std::string("\x03\xe7", 2), true), CloseCode::ProtocolError},
      {clientFrame(Opcode::Close, std::string("\x03\xed", 2), true), CloseCode::ProtocolError},
      {clientFrame(Opcode::Close, std::string("\x03\xf7", 2), true), CloseCode::ProtocolError},
      {clientFrame(Opcode::Close, std::string("\x13\x88", 2), true), CloseCode::ProtocolError},
      {clientFrame(Opcode::Close, "\x03", true), CloseCode::ProtocolError},
      {clientFrame(Opcode::Close, std::string("\x03\xe8\xff", 3), true), CloseCode::ProtocolError},
      {clientFrame(Opcode::Close, std::string("\x03\xe8", 2), true), CloseCode::Normal},
      {clientFrame(Opcode::Close, std::string("\x0f\xa0" "bye", 5), true), CloseCode::Normal},
      {clientFrame(Opcode::Close, "", true), CloseCode::Normal},
  };
  for (const auto& [bytes, code] : cases) {
    Fixture f;
    f.answer(request("GET /control HTTP/1.1", "Host: 127.0.0.1:47115\r\nOrigin: http://shop.test:8000\r\n" + kUpgradeFields));
    std::string answer = f.answer(bytes);
    ASSERT_GE(answer.size(), 4u);
    EXPECT_EQ(answer.substr(0, 4).substr(2), encodeClose(code, "").substr(2, 2));
    EXPECT_TRUE(f.connection.finished());
    EXPECT_EQ(f.host.events, (std::vector<std::string>{"open http://shop.test:8000", "close"}));
  }
}

}  // namespace
}  // namespace pagewell::service
