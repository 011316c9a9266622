#include "websocket_frame.h"

#include "utf8.h"

namespace pagewell::service {
namespace {

bool isControl(Opcode opcode) { return static_cast<uint8_t>(opcode) >= 8; }

bool isKnown(uint8_t opcode) { return opcode <= 2 || (opcode >= 8 && opcode <= 10); }

}  // namespace

bool FrameReader::fail(CloseCode code) {
  failed_ = true;
  failure_ = code;
  buffered_.clear();
  fragments_.clear();
  return false;
}

bool FrameReader::receive(std::string_view bytes, std::vector<WebSocketMessage>& messages) {
  if (failed_) return false;
  buffered_.append(bytes);
  while (true) {
    size_t before = buffered_.size();
    if (!takeFrame(messages)) return false;
    if (buffered_.size() == before) return true;  // waiting for more bytes
  }
}

// RFC 6455 5.2: FIN, RSV1-3, opcode; MASK, payload length (7, 7+16 or
// 7+64 bits); the masking key; the payload.
bool FrameReader::takeFrame(std::vector<WebSocketMessage>& messages) {
  if (buffered_.size() < 2) return true;
  const auto* bytes = reinterpret_cast<const uint8_t*>(buffered_.data());
  bool fin = bytes[0] & 0x80;
  uint8_t opcodeBits = bytes[0] & 0x0F;
  if ((bytes[0] & 0x70) || !isKnown(opcodeBits)) return fail(CloseCode::ProtocolError);
  // 5.1: "a client MUST mask all frames that it sends to the server".
  if (!(bytes[1] & 0x80)) return fail(CloseCode::ProtocolError);
  auto opcode = static_cast<Opcode>(opcodeBits);
  uint64_t length = bytes[1] & 0x7F;
  size_t header = 2;
  if (length == 126) {
    header = 4;
  } else if (length == 127) {
    header = 10;
  }
  if (buffered_.size() < header + 4) return true;
  if (length == 126) {
    length = uint64_t(bytes[2]) << 8 | bytes[3];
  } else if (length == 127) {
    length = 0;
    for (int i = 2; i < 10; ++i) length = length << 8 | bytes[i];
  }
  // 5.5: control frames are never fragmented and carry at most 125 bytes.
  if (isControl(opcode) && (!fin || length > 125)) return fail(CloseCode::ProtocolError);
  // The cap is checked on the announced length, before any of it is stored.
  size_t sofar = opcode == Opcode::Continuation ? fragments_.size() : 0;
  if (length > maxMessageBytes_ || sofar + length > maxMessageBytes_) return fail(CloseCode::TooBig);
  const uint8_t* mask = bytes + header;
  size_t total = header + 4 + static_cast<size_t>(length);
  if (buffered_.size() < total) return true;
  std::string payload(buffered_, header + 4, static_cast<size_t>(length));
  for (size_t i = 0; i < payload.size(); ++i) payload[i] = static_cast<char>(payload[i] ^ mask[i % 4]);
  buffered_.erase(0, total);

  if (isControl(opcode)) {
    messages.push_back({opcode, std::move(payload)});
    return true;
  }
  // 5.4: a message is a first frame (text or binary) and continuations.
  bool continuing = fragmentedOpcode_ != Opcode::Continuation;
  if ((opcode == Opcode::Continuation) != continuing) return fail(CloseCode::ProtocolError);
  if (!continuing) fragmentedOpcode_ = opcode;
  fragments_ += payload;
  if (!fin) return true;
  Opcode messageOpcode = fragmentedOpcode_;
  fragmentedOpcode_ = Opcode::Continuation;
  if (messageOpcode == Opcode::Text && !isValidUtf8(fragments_)) return fail(CloseCode::InvalidData);
  messages.push_back({messageOpcode, std::move(fragments_)});
  fragments_.clear();
  return true;
}

std::string encodeFrame(Opcode opcode, std::string_view payload) {
  std::string frame;
  frame += static_cast<char>(0x80 | static_cast<uint8_t>(opcode));
  uint64_t length = payload.size();
  if (length < 126) {
    frame += static_cast<char>(length);
  } else if (length <= 0xFFFF) {
    frame += static_cast<char>(126);
    frame += static_cast<char>(length >> 8);
    frame += static_cast<char>(length);
  } else {
    frame += static_cast<char>(127);
    for (int shift = 56; shift >= 0; shift -= 8) frame += static_cast<char>(length >> shift);
  }
  frame.append(payload);
  return frame;
}

std::string encodeClose(CloseCode code, std::string_view reason) {
  std::string payload;
  payload += static_cast<char>(static_cast<uint16_t>(code) >> 8);
  payload += static_cast<char>(static_cast<uint16_t>(code) & 0xFF);
  payload.append(reason.substr(0, 123));
  return encodeFrame(Opcode::Close, payload);
}

}  // namespace pagewell::service
