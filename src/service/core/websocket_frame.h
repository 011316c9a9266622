#pragma once
// WebSocket framing (RFC 6455 section 5) on the server's side: a reader
// that takes the client's bytes as they come and gives back whole
// messages, and the writer of the server's unmasked frames.
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace pagewell::service {

enum class Opcode : uint8_t { Continuation = 0, Text = 1, Binary = 2, Close = 8, Ping = 9, Pong = 10 };

// Close codes (RFC 6455 7.4.1) the service sends.
enum class CloseCode : uint16_t {
  Normal = 1000,
  GoingAway = 1001,
  ProtocolError = 1002,
  InvalidData = 1007,
  PolicyViolation = 1008,
  TooBig = 1009,
  TryAgainLater = 1013,
};

struct WebSocketMessage {
  Opcode opcode;         // Text, Binary, Close, Ping or Pong
  std::string payload;   // unmasked; a text message is valid UTF-8
};

class FrameReader {
 public:
  // A message (all its fragments together) may hold at most this many bytes.
  explicit FrameReader(size_t maxMessageBytes) : maxMessageBytes_(maxMessageBytes) {}

  // Takes received bytes; the messages they complete go to `messages`.
  // False when the client broke the protocol: then failure() says how, and
  // the connection ends (nothing more is read).
  bool receive(std::string_view bytes, std::vector<WebSocketMessage>& messages);
  CloseCode failure() const { return failure_; }

 private:
  bool takeFrame(std::vector<WebSocketMessage>& messages);
  bool fail(CloseCode code);

  size_t maxMessageBytes_;
  std::string buffered_;
  std::string fragments_;
  Opcode fragmentedOpcode_ = Opcode::Continuation;  // Continuation: none under way
  CloseCode failure_ = CloseCode::Normal;
  bool failed_ = false;
};

// One unfragmented, unmasked frame.
std::string encodeFrame(Opcode opcode, std::string_view payload);
// A Close frame with its code and a short reason.
std::string encodeClose(CloseCode code, std::string_view reason);

}  // namespace pagewell::service
