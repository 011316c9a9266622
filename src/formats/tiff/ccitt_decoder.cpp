#include "formats/tiff/ccitt_decoder.h"

#include <array>
#include <cstring>

#include "formats/tiff/ccitt_codes.h"
#include "formats/tiff/changing_elements.h"
#include "formats/tiff/tiff_errors.h"

namespace pagewell {
namespace {

[[noreturn]] void Corrupted() { throw EInvalidGraphic(tiffmsg::kCorrupted); }

// Reads CCITT data most significant bit first; bits past the end read as 0.
// The next bits wait left-aligned in a 64-bit window, refilled whenever
// fewer than 32 remain there, so that a look-up costs one shift.
class TBitReader {
 public:
  TBitReader(const std::uint8_t* data, std::size_t size) : data_(data), size_(size), bits_(size * 8) { Refill(); }

  // The next n bits (1 to 32).
  std::uint32_t Peek(int n) const { return static_cast<std::uint32_t>(window_ >> (64 - n)); }
  // Moves on by n bits (0 to 32).
  void Skip(int n) {
    position_ += static_cast<std::size_t>(n);
    window_ = n < 64 ? window_ << n : 0;
    filled_ -= n;
    if (filled_ < 32) Refill();
  }
  bool Overrun() const { return position_ > bits_; }
  bool AtEnd() const { return position_ >= bits_; }
  std::size_t Remaining() const { return position_ < bits_ ? bits_ - position_ : 0; }
  void AlignToByte() { Skip(static_cast<int>((8 - (position_ & 7)) & 7)); }

 private:
  void Refill() {
    while (filled_ <= 56) {
      const std::uint64_t byte = next_ < size_ ? data_[next_] : 0;
      ++next_;
      window_ |= byte << (56 - filled_);
      filled_ += 8;
    }
  }

  const std::uint8_t* data_;
  std::size_t size_;
  std::size_t bits_;
  std::size_t position_ = 0;  // bits read
  std::size_t next_ = 0;      // the next byte for the window
  std::uint64_t window_ = 0;
  int filled_ = 0;  // bits waiting in the window
};

// Run-length codes looked up by their first 13 bits.
constexpr int kRunBits = 13;
constexpr std::int16_t kInvalidCode = -1;
constexpr std::int16_t kEndOfLine = -2;
constexpr int kDataEnded = -3;  // the data stopped inside a code

struct TLookup {
  std::int16_t value = kInvalidCode;  // run length, kInvalidCode or kEndOfLine
  std::uint8_t length = 0;
};

using TRunTable = std::array<TLookup, 1 << kRunBits>;

void Enter(TRunTable& table, TCCITTCode code, std::int16_t value) {
  const int free = kRunBits - code.length;
  const std::uint32_t first = static_cast<std::uint32_t>(code.bits) << free;
  for (std::uint32_t i = 0; i < (1u << free); ++i) table[first | i] = {value, code.length};
}

TRunTable BuildRunTable(TRunColor color) {
  TRunTable table;
  for (int run = 0; run < 64; ++run) Enter(table, TerminatingCode(color, run), static_cast<std::int16_t>(run));
  for (int run = 64; run <= kCCITTMaxMakeUp; run += 64) Enter(table, MakeUpCode(color, run), static_cast<std::int16_t>(run));
  Enter(table, kEOLCode, kEndOfLine);
  return table;
}

const TRunTable& RunTable(TRunColor color) {
  static const TRunTable white = BuildRunTable(TRunColor::White);
  static const TRunTable black = BuildRunTable(TRunColor::Black);
  return color == TRunColor::White ? white : black;
}

// Two-dimensional modes looked up by their first 7 bits.
enum class TMode : std::uint8_t { Invalid, Pass, Horizontal, Vertical, EndOfLine };

struct TModeLookup {
  TMode mode = TMode::Invalid;
  std::int8_t offset = 0;
  std::uint8_t length = 0;
};

using TModeTable = std::array<TModeLookup, 128>;

void Enter(TModeTable& table, TCCITTCode code, TMode mode, int offset) {
  const int free = 7 - code.length;
  for (std::uint32_t i = 0; i < (1u << free); ++i) {
    table[(static_cast<std::uint32_t>(code.bits) << free) | i] = {mode, static_cast<std::int8_t>(offset), code.length};
  }
}

const TModeTable& ModeTable() {
  static const TModeTable table = [] {
    TModeTable t;
    Enter(t, kPassCode, TMode::Pass, 0);
    Enter(t, kHorizontalCode, TMode::Horizontal, 0);
    for (int offset = -3; offset <= 3; ++offset) Enter(t, VerticalCode(offset), TMode::Vertical, offset);
    return t;
  }();
  return table;
}

// "000000000001", possibly after more fill zeros.
bool AtEndOfLine(const TBitReader& in) { return in.Peek(12) == 1; }

// Skips fill bits and one EOL if the data holds one here; answers whether it did.
bool SkipEndOfLine(TBitReader& in) {
  TBitReader probe = in;
  while (probe.Remaining() >= 12 && probe.Peek(12) == 0) probe.Skip(1);
  if (probe.Remaining() >= 12 && probe.Peek(12) == 1) {
    probe.Skip(12);
    in = probe;
    return true;
  }
  return false;
}

// A run of one colour: make-up codes, then a terminating code. Answers
// kEndOfLine when an EOL stands where the run should start, kDataEnded when
// the data stops inside the run.
int ReadRun(TBitReader& in, TRunColor color) {
  const TRunTable& table = RunTable(color);
  int run = 0;
  for (;;) {
    const TLookup code = table[in.Peek(kRunBits)];
    if (code.value == kInvalidCode) {
      if (in.Remaining() < kRunBits) return kDataEnded;
      Corrupted();
    }
    in.Skip(code.length);
    if (in.Overrun()) return kDataEnded;
    if (code.value == kEndOfLine) return kEndOfLine;
    run += code.value;
    if (code.value < 64) return run;
  }
}

// Writes a row from its changing elements: 1 bits between each black change
// and the next white one, whole bytes at a time.
void FillRow(const std::vector<int>& changes, int width, std::uint8_t* row, std::size_t rowBytes) {
  std::memset(row, 0, rowBytes);
  for (std::size_t i = 0; i + 1 < changes.size() && changes[i] < width; i += 2) {
    const int from = changes[i], to = changes[i + 1] < width ? changes[i + 1] : width;
    if (from >= to) continue;
    const int first = from >> 3, last = (to - 1) >> 3;
    const auto head = static_cast<std::uint8_t>(0xFF >> (from & 7));
    const auto tail = static_cast<std::uint8_t>(0xFF << (7 - ((to - 1) & 7)));
    if (first == last) {
      row[first] |= head & tail;
    } else {
      row[first] |= head;
      std::memset(row + first + 1, 0xFF, static_cast<std::size_t>(last - first - 1));
      row[last] |= tail;
    }
  }
}

void AddSentinels(std::vector<int>& changes, int width) {
  changes.push_back(width);
  changes.push_back(width);
}

// What ended a row that could not be completed.
enum class TRowEnd { Complete, DataEnded };

// One-dimensional row: alternating white and black runs filling the width.
TRowEnd DecodeRow1D(TBitReader& in, int width, std::vector<int>& changes) {
  changes.clear();
  int x = 0;
  TRunColor color = TRunColor::White;
  while (x < width) {
    if (in.AtEnd()) return TRowEnd::DataEnded;
    const int run = ReadRun(in, color);
    if (run == kDataEnded) return TRowEnd::DataEnded;
    if (run == kEndOfLine || run > width - x) Corrupted();
    x += run;
    if (x < width) changes.push_back(x);  // the row's end is no change
    color = color == TRunColor::White ? TRunColor::Black : TRunColor::White;
  }
  AddSentinels(changes, width);
  return TRowEnd::Complete;
}

// Two-dimensional row against the reference row (T.4 4.2, T.6 2.2).
TRowEnd DecodeRow2D(TBitReader& in, int width, const std::vector<int>& reference, std::vector<int>& changes) {
  changes.clear();
  int a0 = -1;
  int color = 0;  // 0 white, 1 black
  std::size_t b1Index = 0;
  const TModeTable& modes = ModeTable();
  while (a0 < width) {
    if (in.AtEnd()) return TRowEnd::DataEnded;
    const TModeLookup mode = modes[in.Peek(7)];
    if (mode.mode == TMode::Invalid) {
      // Seven zero bits: no mode, but maybe EOFB or an EOL before the row is complete.
      if (AtEndOfLine(in)) return TRowEnd::DataEnded;
      if (in.Remaining() < 12) return TRowEnd::DataEnded;
      Corrupted();
    }
    in.Skip(mode.length);
    if (in.Overrun()) return TRowEnd::DataEnded;
    // A real row changes colour at most once a pixel; more changes than
    // that (zero-length runs without end) mean corrupt data.
    if (changes.size() > 2 * static_cast<std::size_t>(width) + 4) Corrupted();
    b1Index = FindB1(reference, b1Index > 0 ? b1Index - 1 : 0, a0, color);
    const int b1 = reference[b1Index];
    const int b2 = reference[b1Index + 1];
    const int start = a0 < 0 ? 0 : a0;
    switch (mode.mode) {
      case TMode::Pass:
        a0 = b2;
        break;
      case TMode::Vertical: {
        const int a1 = b1 + mode.offset;
        if (a1 < start || a1 > width) Corrupted();
        changes.push_back(a1);
        a0 = a1;
        color ^= 1;
        break;
      }
      case TMode::Horizontal: {
        const int run1 = ReadRun(in, color ? TRunColor::Black : TRunColor::White);
        if (run1 == kDataEnded) return TRowEnd::DataEnded;
        if (run1 == kEndOfLine) Corrupted();
        const int run2 = ReadRun(in, color ? TRunColor::White : TRunColor::Black);
        if (run2 == kDataEnded) return TRowEnd::DataEnded;
        if (run2 == kEndOfLine) Corrupted();
        if (run1 > width - start || run2 > width - start - run1) Corrupted();
        changes.push_back(start + run1);
        changes.push_back(start + run1 + run2);
        a0 = start + run1 + run2;
        break;
      }
      default: Corrupted();
    }
  }
  while (!changes.empty() && changes.back() >= width) changes.pop_back();
  AddSentinels(changes, width);
  return TRowEnd::Complete;
}

}  // namespace

TCCITTDecoder::TCCITTDecoder(TCCITTScheme scheme, std::uint32_t t4Options, int width)
    : scheme_(scheme), twoDimensional_(scheme == TCCITTScheme::Group3 && (t4Options & 1)), width_(width) {}

void TCCITTDecoder::DecodeStrip(const std::uint8_t* data, std::size_t size, int rows, std::uint8_t* out,
                                std::size_t rowBytes) {
  TBitReader in(data, size);
  SetAllWhite(width_, reference_);
  for (int y = 0; y < rows; ++y) {
    TRowEnd end;
    switch (scheme_) {
      case TCCITTScheme::ModifiedHuffman:
        end = DecodeRow1D(in, width_, coding_);
        in.AlignToByte();  // every row starts on a byte
        break;
      case TCCITTScheme::Group3: {
        SkipEndOfLine(in);
        bool oneDimensional = true;
        if (twoDimensional_) {
          oneDimensional = in.Peek(1) == 1;
          in.Skip(1);
        }
        end = oneDimensional ? DecodeRow1D(in, width_, coding_) : DecodeRow2D(in, width_, reference_, coding_);
        break;
      }
      case TCCITTScheme::Group4:
      default: end = DecodeRow2D(in, width_, reference_, coding_); break;
    }
    if (end == TRowEnd::DataEnded) {
      if (scheme_ == TCCITTScheme::Group4) throw EOverrunStream();
      Corrupted();
    }
    FillRow(coding_, width_, out + static_cast<std::size_t>(y) * rowBytes, rowBytes);
    std::swap(reference_, coding_);
  }
}

}  // namespace pagewell
