// The server's WebSocket framing: what a client may send, and what not.
#include "core/websocket_frame.h"

#include <gtest/gtest.h>

#include "client_frames.h"

namespace pagewell::service {
namespace {

TEST(FrameReader, WholeMessagesFromBytesInAnyChunks) {
  std::string stream = clientFrame(Opcode::Text, "hello", true) + clientFrame(Opcode::Ping, "p", true) +
                       clientFrame(Opcode::Binary, std::string(70000, 'x'), true) +
                       clientFrame(Opcode::Text, "frag", false) + clientFrame(Opcode::Ping, "", true) +
                       clientFrame(Opcode::Continuation, "ments", true);
  for (size_t chunk : {size_t(1), size_t(7), stream.size()}) {
    FrameReader reader(100000);
    std::vector<WebSocketMessage> messages;
    for (size_t at = 0; at < stream.size(); at += chunk)
      ASSERT_TRUE(reader.receive(std::string_view(stream).substr(at, chunk), messages));
    ASSERT_EQ(messages.size(), 5u) << chunk;
    EXPECT_EQ(messages[0].payload, "hello");
    EXPECT_EQ(messages[1].opcode, Opcode::Ping);
    EXPECT_EQ(messages[2].payload.size(), 70000u);
    EXPECT_EQ(messages[3].opcode, Opcode::Ping);  // a control frame between fragments
    EXPECT_EQ(messages[4].opcode, Opcode::Text);
    EXPECT_EQ(messages[4].payload, "fragments");
  }
}

TEST(FrameReader, ProtocolErrorsEndTheConnection) {
  std::string unmasked = encodeFrame(Opcode::Text, "hi");
  std::string reserved = clientFrame(Opcode::Text, "hi", true);
  reserved[0] = static_cast<char>(reserved[0] | 0x40);
  std::string unknownOpcode = clientFrame(Opcode::Text, "hi", true);
  unknownOpcode[0] = static_cast<char>(0x83);
  struct Case {
    const char* what;
    std::string bytes;
    CloseCode code;
  };
  const Case cases[] = {
      {"unmasked", unmasked, CloseCode::ProtocolError},
      {"reserved bit", reserved, CloseCode::ProtocolError},
      {"unknown opcode", unknownOpcode, CloseCode::ProtocolError},
      {"continuation first", clientFrame(Opcode::Continuation, "x", true), CloseCode::ProtocolError},
      {"new message inside a fragmented one",
       clientFrame(Opcode::Text, "a", false) + clientFrame(Opcode::Text, "b", true), CloseCode::ProtocolError},
      {"fragmented ping", clientFrame(Opcode::Ping, "", false), CloseCode::ProtocolError},
      {"long ping", clientFrame(Opcode::Ping, std::string(126, 'p'), true), CloseCode::ProtocolError},
      {"not UTF-8", clientFrame(Opcode::Text, "\xC3(", true), CloseCode::InvalidData},
      {"too big", clientFrame(Opcode::Text, std::string(1001, 'x'), true), CloseCode::TooBig},
      {"too big in fragments",
       clientFrame(Opcode::Text, std::string(600, 'x'), false) +
           clientFrame(Opcode::Continuation, std::string(600, 'x'), true),
       CloseCode::TooBig},
  };
  for (const Case& c : cases) {
    FrameReader reader(1000);
    std::vector<WebSocketMessage> messages;
    EXPECT_FALSE(reader.receive(c.bytes, messages)) << c.what;
    EXPECT_EQ(reader.failure(), c.code) << c.what;
    EXPECT_TRUE(messages.empty()) << c.what;
    EXPECT_FALSE(reader.receive(clientFrame(Opcode::Text, "later", true), messages)) << c.what;
  }
}

TEST(FrameReader, RefusesAnAnnouncedLengthOverTheCapBeforeItArrives) {
  // Only the header of a frame that claims 2^62 bytes.
  std::string header = {char(0x81), char(0xFF), 0x40, 0, 0, 0, 0, 0, 0, 0, 1, 2, 3, 4};
  FrameReader reader(1000);
  std::vector<WebSocketMessage> messages;
  EXPECT_FALSE(reader.receive(header, messages));
  EXPECT_EQ(reader.failure(), CloseCode::TooBig);
}

TEST(EncodeFrame, TheThreeLengthForms) {
  EXPECT_EQ(encodeFrame(Opcode::Text, "hi"), std::string("\x81\x02hi", 4));
  std::string medium = encodeFrame(Opcode::Binary, std::string(300, 'x'));
  EXPECT_EQ(medium.substr(0, 4), std::string("\x82\x7E\x01\x2C", 4));
  std::string large = encodeFrame(Opcode::Binary, std::string(70000, 'x'));
  EXPECT_EQ(large.substr(0, 10), std::string("\x82\x7F\0\0\0\0\0\x01\x11\x70", 10));
  EXPECT_EQ(encodeClose(CloseCode::TooBig, "big"), std::string("\x88\x05\x03\xF1" "big", 7));
}

}  // namespace
}  // namespace pagewell::service
