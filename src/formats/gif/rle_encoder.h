#pragma once
// TRLEEncoder: GIF image data made of runs instead of LZW strings. It writes
// a standard GIF code stream that any decoder reads, choosing its codes so
// that the decoder's string table fills with runs of one pixel value: after
// a clear, the pixel, then the codes base, base + 1, ... stand for runs of 2,
// 3, ... pixels. The encoder tracks the decoder's table size and code width
// and clears before the table could fill.
#include <cstddef>
#include <cstdint>

#include "formats/gif/gif_code_writer.h"

namespace pagewell {

class TRLEEncoder {
 public:
  // minCodeSize: the image data's minimum code size S (2 to 8).
  TRLEEncoder(int minCodeSize, TGIFCodeWriter& out);

  // Writes the initial clear, the pixels (each below 2^S) and the end code.
  void Encode(const std::uint8_t* pixels, std::size_t count);

  // Codes needed for a run of `count` pixels built up from a fresh clear, with
  // at most `budget` codes between clears.
  static std::uint64_t TriangleCount(std::uint64_t count, std::uint64_t budget);

 private:
  void Output(unsigned code);
  void OutputPlain(unsigned code);
  void EmitClear();
  void ResetAfterClear();
  void LiftClearLimit();
  void RestoreClearLimit();

  void FlushRun();
  void FlushFromClear(std::uint64_t count);
  void FlushClearOrRepeat(std::uint64_t count);
  void FlushWithTable(std::uint64_t count);

  TGIFCodeWriter& out_;
  unsigned clear_, end_, base_;
  unsigned initialWidth_, initialBump_, initialClear_;
  std::uint64_t budget_;  // codes that can follow a clear before the decoder's table is full

  unsigned width_ = 0;
  std::uint64_t outCount_ = 0, outBump_ = 0, outClear_ = 0;
  bool justCleared_ = false;
  bool buildingUp_ = false;
  // The longest run the decoder's table can now reproduce, and its pixel.
  std::uint64_t tableMax_ = 0;
  unsigned tablePixel_ = 0;
  // The run being collected.
  unsigned runPixel_ = 0;
  std::uint64_t runCount_ = 0;
};

}  // namespace pagewell
