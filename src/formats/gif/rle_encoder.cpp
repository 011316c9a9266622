#include "formats/gif/rle_encoder.h"

#include <cmath>

namespace pagewell {
namespace {

constexpr unsigned kMaxCodeWidth = 12;

std::uint64_t IntegerSqrt(std::uint64_t x) {
  std::uint64_t r = static_cast<std::uint64_t>(std::sqrt(static_cast<double>(x)));
  while (r * r > x) --r;
  while ((r + 1) * (r + 1) <= x) ++r;
  return r;
}

}  // namespace

TRLEEncoder::TRLEEncoder(int minCodeSize, TGIFCodeWriter& out) : out_(out) {
  const unsigned s = static_cast<unsigned>(minCodeSize);
  clear_ = 1u << s;
  end_ = clear_ + 1;
  base_ = clear_ + 2;  // the first code a decoder assigns after a clear
  initialWidth_ = s + 1;
  initialBump_ = clear_ - 1;
  initialClear_ = s <= 3 ? 9 : clear_ - 2;
  budget_ = (1u << kMaxCodeWidth) - 3 - clear_;
  ResetAfterClear();
}

std::uint64_t TRLEEncoder::TriangleCount(std::uint64_t count, std::uint64_t budget) {
  // A build-up of k codes covers 1 + 2 + ... + k = k(k+1)/2 pixels.
  const std::uint64_t perBudget = budget * (budget + 1) / 2;
  std::uint64_t cost = (count / perBudget) * budget;
  count %= perBudget;
  if (count > 0) {
    std::uint64_t k = IntegerSqrt(count);
    while (k > 0 && k * (k + 1) >= 2 * count) --k;
    while (k * (k + 1) < 2 * count) ++k;
    cost += k;
  }
  return cost;
}

void TRLEEncoder::Encode(const std::uint8_t* pixels, std::size_t count) {
  EmitClear();
  for (std::size_t i = 0; i < count; ++i) {
    const unsigned pixel = pixels[i];
    if (runCount_ > 0 && pixel != runPixel_) FlushRun();
    if (runCount_ > 0) {
      ++runCount_;
    } else {
      runPixel_ = pixel;
      runCount_ = 1;
    }
  }
  if (runCount_ > 0) FlushRun();
  Output(end_);
}

void TRLEEncoder::Output(unsigned code) { out_.WriteCode(code, width_); }

// A code that makes the decoder add one table entry: the width grows with
// the table, and a clear is forced before the table could overflow.
void TRLEEncoder::OutputPlain(unsigned code) {
  justCleared_ = false;
  Output(code);
  ++outCount_;
  if (outCount_ >= outBump_) {
    ++width_;
    outBump_ += std::uint64_t{1} << (width_ - 1);
  }
  if (outCount_ >= outClear_) EmitClear();
}

void TRLEEncoder::EmitClear() {
  Output(clear_);
  ResetAfterClear();
}

void TRLEEncoder::ResetAfterClear() {
  width_ = initialWidth_;
  outBump_ = initialBump_;
  outClear_ = buildingUp_ ? budget_ : initialClear_;
  outCount_ = 0;
  tableMax_ = 0;
  justCleared_ = true;
}

void TRLEEncoder::LiftClearLimit() {
  buildingUp_ = true;
  outClear_ = budget_;
}

void TRLEEncoder::RestoreClearLimit() {
  buildingUp_ = false;
  outClear_ = initialClear_;
  if (outCount_ >= outClear_) EmitClear();
}

void TRLEEncoder::FlushRun() {
  if (runCount_ == 1) {
    OutputPlain(runPixel_);
  } else if (justCleared_) {
    FlushFromClear(runCount_);
  } else if (tableMax_ < 2 || tablePixel_ != runPixel_) {
    FlushClearOrRepeat(runCount_);
  } else {
    FlushWithTable(runCount_);
  }
  runCount_ = 0;
}

// The pixel once, then codes for runs of 2, 3, 4, ... pixels: each code also
// teaches the decoder a run one pixel longer.
void TRLEEncoder::FlushFromClear(std::uint64_t count) {
  LiftClearLimit();
  tablePixel_ = runPixel_;
  std::uint64_t n = 1;
  while (count > 0) {
    if (n == 1) {
      tableMax_ = 1;
      OutputPlain(runPixel_);
      count -= 1;
    } else if (count >= n) {
      tableMax_ = n;
      OutputPlain(static_cast<unsigned>(base_ + n - 2));
      count -= n;
    } else if (count == 1) {
      ++tableMax_;
      OutputPlain(runPixel_);
      count = 0;
    } else {
      ++tableMax_;
      OutputPlain(static_cast<unsigned>(base_ + count - 2));
      count = 0;
    }
    // A clear forced by the full table starts the build-up again.
    n = outCount_ == 0 ? 1 : n + 1;
  }
  RestoreClearLimit();
}

void TRLEEncoder::FlushClearOrRepeat(std::uint64_t count) {
  const std::uint64_t withClear = 1 + TriangleCount(count, budget_);
  if (withClear < count) {
    EmitClear();
    FlushFromClear(count);
  } else {
    for (; count > 0; --count) OutputPlain(runPixel_);
  }
}

// Repeats the longest run the table knows, then the remainder; a fresh
// clear and build-up wins when it needs fewer codes.
void TRLEEncoder::FlushWithTable(std::uint64_t count) {
  std::uint64_t repeats = count / tableMax_;
  std::uint64_t leftover = count % tableMax_;
  std::uint64_t leftoverCodes = leftover ? 1 : 0;
  if (outCount_ + repeats + leftoverCodes > budget_) {
    repeats = budget_ - outCount_;
    leftover = count - repeats * tableMax_;
    leftoverCodes = 1 + TriangleCount(leftover, budget_);
  }
  if (1 + TriangleCount(count, budget_) < repeats + leftoverCodes) {
    EmitClear();
    FlushFromClear(count);
    return;
  }
  LiftClearLimit();
  const unsigned longest = static_cast<unsigned>(base_ + tableMax_ - 2);
  for (; repeats > 0; --repeats) OutputPlain(longest);
  if (leftover > 0) {
    if (justCleared_) {
      FlushFromClear(leftover);
    } else if (leftover == 1) {
      OutputPlain(runPixel_);
    } else {
      OutputPlain(static_cast<unsigned>(base_ + leftover - 2));
    }
  }
  RestoreClearLimit();
}

}  // namespace pagewell
