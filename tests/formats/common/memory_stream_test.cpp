#include "formats/memory_stream.h"

#include <gtest/gtest.h>

namespace pagewell {
namespace {

using Bytes = std::vector<std::uint8_t>;

TEST(MemoryStream, WritesAppendOverwriteAndFillGapsWithZeros) {
  TMemoryStream stream;
  stream.WriteString("abcdef");
  stream.Seek(2);
  stream.WriteString("XY");  // inside: overwrites
  EXPECT_EQ(stream.Position(), 4u);
  stream.Seek(5);
  stream.WriteString("ZW");  // across the end: overwrites, then grows
  stream.Seek(9);
  stream.WriteByte('!');  // past the end: the gap becomes zeros
  EXPECT_EQ(stream.Bytes(), (Bytes{'a', 'b', 'X', 'Y', 'e', 'Z', 'W', 0, 0, '!'}));
}

TEST(MemoryStream, TakeBytesHandsOverEverythingAndLeavesTheStreamEmpty) {
  TMemoryStream stream;
  stream.Reserve(3);
  stream.WriteString("page");
  stream.Reserve(1 << 20);
  const std::uint8_t* before = stream.Data();
  stream.WriteString("s");
  EXPECT_EQ(stream.Data(), before);  // reserved room: nothing moved
  const Bytes bytes = stream.TakeBytes();
  EXPECT_EQ(bytes, (Bytes{'p', 'a', 'g', 'e', 's'}));
  EXPECT_EQ(stream.Size(), 0u);
  EXPECT_EQ(stream.Position(), 0u);
  stream.WriteString("x");
  EXPECT_EQ(stream.Bytes(), Bytes{'x'});
}

}  // namespace
}  // namespace pagewell
