#include "formats/tiff/packbits.h"

#include <gtest/gtest.h>

#include <random>

namespace pagewell {
namespace {

using Bytes = std::vector<std::uint8_t>;

Bytes Encode(const Bytes& row) {
  Bytes out;
  PackBitsEncode(row.data(), row.size(), out);
  return out;
}

Bytes Repeated(std::size_t n, std::uint8_t value) { return Bytes(n, value); }

Bytes Concat(std::initializer_list<Bytes> parts) {
  Bytes all;
  for (const Bytes& p : parts) all.insert(all.end(), p.begin(), p.end());
  return all;
}

TEST(PackBitsEncode, CodesRunsAndLiteralsAsTheSchemeSays) {
  struct Case {
    const char* name;
    Bytes row;
    Bytes code;
  };
  Bytes literal128, literal129;
  for (int i = 0; i < 129; ++i) literal129.push_back(static_cast<std::uint8_t>(i));
  literal128.assign(literal129.begin(), literal129.begin() + 128);
  const Case cases[] = {
      {"empty row", {}, {}},
      {"one byte", {7}, {0, 7}},
      {"two equal bytes are a run", {5, 5}, {0xFF, 5}},
      {"literal stops before a pair", {1, 2, 3, 3, 3}, {1, 1, 2, 0xFE, 3}},
      {"pair in the middle", {1, 2, 2, 3}, {0, 1, 0xFF, 2, 0, 3}},
      {"run of 128", Repeated(128, 9), {0x81, 9}},
      {"run of 129 splits", Repeated(129, 9), {0x81, 9, 0, 9}},
      {"run of 130 splits into two runs", Repeated(130, 9), {0x81, 9, 0xFF, 9}},
      {"literal of 128", literal128, Concat({{127}, literal128})},
      {"literal of 129 splits", literal129, Concat({{127}, literal128, {0, 128}})},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    EXPECT_EQ(Encode(c.row), c.code);
  }
}

TEST(PackBitsDecode, InvertsTheEncoderOnMixedData) {
  std::mt19937 random(4);
  for (int trial = 0; trial < 200; ++trial) {
    Bytes row(random() % 700);
    for (std::size_t i = 0; i < row.size(); ++i) {
      row[i] = (i > 0 && random() % 3 != 0) ? row[i - 1] : static_cast<std::uint8_t>(random() % 4);
    }
    const Bytes code = Encode(row);
    Bytes back(row.size());
    ASSERT_EQ(PackBitsDecode(code.data(), code.size(), back.data(), back.size()), row.size());
    EXPECT_EQ(back, row);
  }
}

TEST(PackBitsDecode, StopsAtTheOutputAndAtTheInputEnd) {
  // -128 is skipped; a run past the output is cut; a literal cut short by
  // the input end yields what is there.
  const Bytes code = {0x80, 0xFD, 1, 2, 7, 8, 9};
  Bytes out(6, 0xEE);
  EXPECT_EQ(PackBitsDecode(code.data(), code.size(), out.data(), 3), 3u);
  EXPECT_EQ(out, (Bytes{1, 1, 1, 0xEE, 0xEE, 0xEE}));
  EXPECT_EQ(PackBitsDecode(code.data(), code.size(), out.data(), out.size()), 6u);
  EXPECT_EQ(out, (Bytes{1, 1, 1, 1, 7, 8}));
  const Bytes runWithoutByte = {0xFD};
  EXPECT_EQ(PackBitsDecode(runWithoutByte.data(), 1, out.data(), out.size()), 0u);
}

}  // namespace
}  // namespace pagewell
