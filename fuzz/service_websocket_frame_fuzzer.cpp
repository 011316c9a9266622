// Feeds arbitrary bytes to the WebSocket frame reader, in chunks of every
// size, and frames of the service's own writer back to it. The reader must
// never crash and must read the same whatever the chunking:
// - the same messages and the same failure as from all the bytes at once;
// - once failed, it stays failed with the same close code;
// - every message is whole: text is UTF-8, control payloads are at most
//   125 bytes, nothing is over the cap;
// - a message written by encodeFrame (as a browser would send it: masked,
//   and in fragments with a ping among them) reads back as written, or is
//   refused as too big or as text that is not UTF-8.
//
// Input: a byte for the chunking, a byte for the cap and the message's
// form, a byte for the message's length, four bytes of masking key, then
// the bytes (the raw stream, and the payload of the written message).
//
// The written message takes its length from the input or, as the length
// byte asks, repeats the bytes up to a length at an edge: of the 7- and
// 16-bit length forms, or of a cap of a few hundred bytes. Short inputs
// keep the fuzzer fast: a long one is read in many small chunks, several
// times over. A message of 64 KiB (the 64-bit form, the service's cap)
// costs a hundred times a short one, so it is left to the unit tests; the
// 64-bit form's header and lengths over the cap and over 2^63 come in the
// raw bytes.
#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <iterator>
#include <string>
#include <string_view>
#include <vector>

#include "byte_chunks.h"
#include "core/connection.h"
#include "core/utf8.h"
#include "core/websocket_frame.h"

namespace {

using namespace pagewell::service;
using pagewell::fuzzing::ByteChunks;

constexpr size_t kSmallCaps = 125 + 0x7F + 1;  // the written message's, and one over

void check(bool condition) {
  if (!condition) std::abort();
}

struct Reading {
  std::vector<WebSocketMessage> messages;
  bool ok = true;
  CloseCode failure = CloseCode::Normal;
};

bool sameMessage(const WebSocketMessage& message, Opcode opcode, std::string_view payload) {
  return message.opcode == opcode && message.payload == payload;
}

bool sameMessages(const std::vector<WebSocketMessage>& a, const std::vector<WebSocketMessage>& b) {
  if (a.size() != b.size()) return false;
  for (size_t i = 0; i < a.size(); ++i)
    if (!sameMessage(a[i], b[i].opcode, b[i].payload)) return false;
  return true;
}

Reading readStream(std::string_view stream, size_t cap, ByteChunks chunking) {
  FrameReader reader(cap);
  Reading reading;
  for (size_t at = 0; at < stream.size() && reading.ok;) {
    const size_t chunk = std::min(chunking.next(), stream.size() - at);
    reading.ok = reader.receive(stream.substr(at, chunk), reading.messages);
    at += chunk;
  }
  if (!reading.ok) {
    reading.failure = reader.failure();
    // Nothing more is read, and the reason stays.
    std::vector<WebSocketMessage> later;
    check(!reader.receive(stream.substr(0, 8), later) && later.empty() && reader.failure() == reading.failure);
  }
  return reading;
}

void checkMessages(const Reading& reading, size_t cap) {
  for (const WebSocketMessage& message : reading.messages) {
    check(message.opcode != Opcode::Continuation && message.payload.size() <= cap);
    if (static_cast<std::uint8_t>(message.opcode) >= 8) check(message.payload.size() <= 125);
    if (message.opcode == Opcode::Text) check(isValidUtf8(message.payload));
  }
}

// The frame as a client sends it: the mask bit set, the key after the
// length, the payload masked.
std::string masked(const std::string& serverFrame, const std::uint8_t key[4], bool fin) {
  const std::uint8_t lengthField = static_cast<std::uint8_t>(serverFrame[1]) & 0x7F;
  const size_t header = lengthField == 127 ? 10 : lengthField == 126 ? 4 : 2;
  std::string frame = serverFrame.substr(0, header) + std::string(reinterpret_cast<const char*>(key), 4) +
                      serverFrame.substr(header);
  if (!fin) frame[0] = static_cast<char>(frame[0] & 0x7F);
  frame[1] = static_cast<char>(frame[1] | 0x80);
  char* payload = frame.data() + header + 4;
  for (size_t i = 0; i + header + 4 < frame.size(); ++i) payload[i] = static_cast<char>(payload[i] ^ key[i % 4]);
  return frame;
}

// The payload in `pieces` fragments (the first with the message's opcode,
// then continuations), a ping after the first, and a close at the end.
std::string clientStream(Opcode opcode, std::string_view payload, size_t pieces, const std::uint8_t key[4]) {
  std::string stream;
  const size_t step = payload.size() / pieces;
  for (size_t i = 0; i < pieces; ++i) {
    const bool last = i + 1 == pieces;
    const std::string_view part = last ? payload.substr(i * step) : payload.substr(i * step, step);
    stream += masked(encodeFrame(i == 0 ? opcode : Opcode::Continuation, part), key, last);
    if (i == 0) stream += masked(encodeFrame(Opcode::Ping, payload.substr(0, 125)), key, true);
  }
  return stream + masked(encodeClose(CloseCode::GoingAway, payload), key, true);
}

void checkWrittenMessage(Opcode opcode, std::string_view payload, size_t pieces, const std::uint8_t key[4],
                         std::uint8_t chunkSeed, size_t cap) {
  const std::string stream = clientStream(opcode, payload, pieces, key);
  const Reading reading = readStream(stream, cap, ByteChunks::forStream(chunkSeed, stream.size()));
  checkMessages(reading, cap);
  if (payload.size() > cap) {
    check(!reading.ok && reading.failure == CloseCode::TooBig);
    return;
  }
  if (opcode == Opcode::Text && !isValidUtf8(payload)) {
    check(!reading.ok && reading.failure == CloseCode::InvalidData);
    return;
  }
  check(reading.ok && reading.messages.size() == 3);
  // The ping comes out as it arrives: amid the fragments, or after the
  // message when it is one frame.
  const size_t ping = pieces > 1 ? 0 : 1;
  check(sameMessage(reading.messages[ping], Opcode::Ping, payload.substr(0, 125)));
  check(sameMessage(reading.messages[1 - ping], opcode, payload));
  check(sameMessage(reading.messages[2], Opcode::Close, encodeClose(CloseCode::GoingAway, payload).substr(2)));
}

// The bytes, or the bytes repeated to a length at an edge: the largest
// 7-bit length, the smallest 16-bit one, a small cap and one over it.
std::string payload(std::string_view bytes, std::uint8_t lengthChoice, size_t cap) {
  const size_t edges[] = {125, 126, cap, cap + 1};
  if (lengthChoice >= std::size(edges) || edges[lengthChoice] > kSmallCaps || bytes.empty()) return std::string(bytes);
  std::string repeated;
  while (repeated.size() < edges[lengthChoice]) repeated.append(bytes);
  repeated.resize(edges[lengthChoice]);
  return repeated;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  if (size < 7) return 0;
  const std::uint8_t chunkSeed = data[0], form = data[1], length = data[2];
  const std::uint8_t* key = data + 3;
  const std::string_view bytes(reinterpret_cast<const char*>(data + 7), size - 7);

  // A small cap reaches the too-big paths with short inputs. The written
  // message's small cap is above the largest 7-bit length.
  const size_t cap = form & 0x80 ? kMaxMessageBytes : form & 0x7F;
  const size_t writtenCap = form & 0x80 ? kMaxMessageBytes : 125 + (form & 0x7F);
  const Reading whole = readStream(bytes, cap, ByteChunks::whole());
  checkMessages(whole, cap);
  const Reading chunked = readStream(bytes, cap, ByteChunks(chunkSeed));
  check(chunked.ok == whole.ok && chunked.failure == whole.failure && sameMessages(chunked.messages, whole.messages));

  const Opcode opcode = form & 1 ? Opcode::Binary : Opcode::Text;
  checkWrittenMessage(opcode, payload(bytes, length, writtenCap), 1 + (form >> 1) % 4, key, chunkSeed, writtenCap);
  return 0;
}
