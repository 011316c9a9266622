#pragma once
// The code words of CCITT T.4 and T.6: the run-length codes of one-
// dimensional coding (terminating codes for runs 0-63, make-up codes for
// multiples of 64 up to 2560) and the mode codes of two-dimensional coding.
// The encoder and the decoders share these tables so that the two directions
// can never disagree.
#include <cstdint>

namespace pagewell {

struct TCCITTCode {
  std::uint16_t bits;    // the code word, right-aligned
  std::uint8_t length;   // number of bits
};

enum class TRunColor : std::uint8_t { White = 0, Black = 1 };

constexpr int kCCITTMaxMakeUp = 2560;

// Terminating code of a run of 0 to 63 pixels.
TCCITTCode TerminatingCode(TRunColor color, int run);
// Make-up code of a run of 64 to 2560 pixels, a multiple of 64.
TCCITTCode MakeUpCode(TRunColor color, int run);

// "000000000001": end of line; two of them end a Group 4 block.
constexpr TCCITTCode kEOLCode{0x001, 12};

// Two-dimensional mode codes.
constexpr TCCITTCode kPassCode{0x1, 4};        // 0001
constexpr TCCITTCode kHorizontalCode{0x1, 3};  // 001
// Vertical mode with a1 - b1 = offset, -3 to +3: V0 1, VR1 011, VR2 000011,
// VR3 0000011, VL1 010, VL2 000010, VL3 0000010.
TCCITTCode VerticalCode(int offset);

}  // namespace pagewell
