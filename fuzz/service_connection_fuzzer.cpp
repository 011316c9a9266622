// Feeds arbitrary byte streams, in chunks of every size, to one connection
// of the service, with the user's answer, the control's answers and the
// service's own close arriving in between. Whatever a page sends:
// - the gate is asked about an origin only after the request's Host named
//   the service, and only about the request's own Origin;
// - the user is asked only about an origin the gate left to them, and
//   only for a WebSocket upgrade at /control;
// - a session opens at most once, only for an admitted origin (or one the
//   user admitted) and a well-formed upgrade at /control; requests reach
//   the control only while it is open, and it is closed exactly once;
// - the connection's first bytes are an HTTP answer, whose CORS field (if
//   any) names the admitted origin, never "*", and is absent from a 403;
// - once finished, it writes nothing more.
//
// Input: a byte of settings (bit 0: the control is busy with another page;
// bit 1: the user's answer; bit 2: the service closes the session at the
// end; bits 3-7: the chunking), a byte that picks when the user answers
// (bits 0-2) and whether the page then floods the connection with more
// than a message's worth of bytes in one read (bit 7), then the bytes the
// page sends. The flood reaches the size limits with short inputs, which
// keep the fuzzer fast.
#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <optional>
#include <string>
#include <string_view>

#include "byte_chunks.h"
#include "core/connection.h"
#include "core/http_answers.h"
#include "core/http_request.h"
#include "core/websocket_handshake.h"

namespace {

using namespace pagewell::service;
using pagewell::fuzzing::ByteChunks;

constexpr ConnectionId kId = 7;
constexpr unsigned kPort = 47115;
const std::string kAdmitted = "http://shop.test:8000";
const std::string kUnknown = "http://ask.test";

void check(bool condition) {
  if (!condition) std::abort();
}

// The request as the page sent it, read by itself from the whole stream.
struct SentRequest {
  std::optional<HttpRequest> head;

  bool namesTheService() const {
    const std::optional<std::string> host = head ? head->field("host") : std::nullopt;
    return host && isServiceHost(*host, kPort);
  }
  bool hasOrigin(const std::string& origin) const { return head && head->field("origin") == origin; }
  bool upgradesControl() const {
    return head && head->target.substr(0, head->target.find('?')) == "/control" && isWebSocketUpgrade(*head) &&
           websocketKey(*head);
  }
};

struct Gate : OriginGate {
  explicit Gate(const SentRequest& sent) : sent(sent) {}
  Admission admission(const std::string& origin) override {
    check(sent.namesTheService() && sent.hasOrigin(origin) && origin != "null" && !origin.empty());
    check(!judged);
    judged = true;
    return origin == kAdmitted ? Admission::Admitted : origin == kUnknown ? Admission::AskUser : Admission::Refused;
  }
  void ask(ConnectionId connection, const std::string& origin) override {
    check(connection == kId && judged && origin == kUnknown && !asked && sent.upgradesControl());
    asked = true;
  }
  const SentRequest& sent;
  bool judged = false;
  bool asked = false;
  bool userAdmitted = false;  // the user's answer, once given
};

struct Host : SessionHost {
  Host(const Gate& gate, bool busy) : gate(gate), busy(busy) {}
  bool openSession(ConnectionId connection, const std::string& origin) override {
    check(connection == kId && !opened && gate.sent.upgradesControl());
    check(origin == kAdmitted || (origin == kUnknown && gate.asked && gate.userAdmitted));
    opened = true;
    open = !busy;
    return open;
  }
  void closeSession(ConnectionId connection) override {
    check(connection == kId && open);
    open = false;
    ++closes;
  }
  void handleRequest(ConnectionId connection, ControlRequest) override {
    check(connection == kId && open);
    ++pending;
  }
  std::string status() override { return "{\"busy\":false}"; }

  const Gate& gate;
  bool busy;
  bool opened = false;  // openSession was called
  bool open = false;
  int closes = 0;
  int pending = 0;  // requests not answered yet
};

// The connection and everything around it, with the checks after each step.
class Run {
 public:
  Run(std::string_view stream, std::uint8_t settings)
      : sent{sentRequest(stream)}, gate(sent), host(gate, settings & 1), connection(kId, kPort, gate, host) {}

  // What the connection wrote since the last look; nothing once finished.
  void collect() {
    const std::string bytes = connection.takeOutgoing();
    if (sawFinished) check(bytes.empty());
    written += bytes;
    sawFinished = connection.finished();
    if (sawFinished) check(!connection.busy() && !connection.isSession() && !host.open);
  }
  void answerUser(bool admitted) {
    if (gate.asked && !gate.userAdmitted) gate.userAdmitted = admitted;
    connection.consentAnswered(admitted);
    collect();
  }
  // The control answers every request it was given.
  void answerRequests() {
    for (; host.pending > 0; --host.pending) connection.send(Opcode::Text, "{\"id\":1,\"result\":0}", true);
    collect();
  }
  void checkAnswer() const {
    if (written.empty()) return;
    check(written.compare(0, 9, "HTTP/1.1 ") == 0);
    const std::string head = written.substr(0, written.find("\r\n\r\n"));
    const size_t cors = head.find("Access-Control-Allow-Origin: ");
    if (head.compare(9, 3, "403") == 0) check(cors == std::string::npos);
    if (cors != std::string::npos) {
      const std::string origin = head.substr(cors + 29, head.find("\r\n", cors) - cors - 29);
      check(origin == kAdmitted || (origin == kUnknown && gate.userAdmitted));
    }
    check((head.compare(9, 3, "101") == 0) == host.opened);
  }
  void end() {
    connection.closed();
    collect();
    check(host.closes == (host.opened && !host.busy ? 1 : 0));
    checkAnswer();
  }

  SentRequest sent;
  Gate gate;
  Host host;
  Connection connection;

 private:
  static SentRequest sentRequest(std::string_view stream) {
    const std::optional<size_t> end = requestHeadEnd(stream);
    return {end ? parseRequestHead(stream.substr(0, *end)) : std::nullopt};
  }

  std::string written;
  bool sawFinished = false;
};

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  if (size < 2) return 0;
  const std::uint8_t settings = data[0];
  const size_t answerAfter = data[1] % 8;
  const std::string_view stream(reinterpret_cast<const char*>(data + 2), size - 2);

  Run run(stream, settings);
  ByteChunks chunks = ByteChunks::forStream(settings >> 3, stream.size());
  size_t chunkCount = 0;
  for (size_t at = 0; at < stream.size(); ++chunkCount) {
    const size_t chunk = std::min(chunks.next(), stream.size() - at);
    run.connection.receive(stream.substr(at, chunk));
    at += chunk;
    run.collect();
    if (chunkCount == answerAfter) run.answerUser(settings & 2);
    run.answerRequests();
  }
  if (data[1] & 0x80) {
    run.connection.receive(std::string(kMaxMessageBytes + 1, 'x'));
    run.collect();
  }
  run.answerUser(settings & 2);
  run.answerRequests();
  if (settings & 4) {
    run.connection.close(CloseCode::GoingAway, "idle");
    run.collect();
  }
  run.end();
  return 0;
}
