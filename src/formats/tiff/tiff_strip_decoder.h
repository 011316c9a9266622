#pragma once
// TTiffStripDecoder: turns the stored bytes of one strip into its rows of
// samples, as the page's FillOrder, Compression and Predictor say.
#include <cstddef>
#include <cstdint>
#include <vector>

#include "formats/tiff/ccitt_decoder.h"
#include "formats/tiff/tiff_page_layout.h"

namespace pagewell {

class TTiffStripDecoder {
 public:
  // `rowBytes` is the size of one decoded row. Checks that the compression
  // is one this decoder can read for the page (raising the reader's errors).
  TTiffStripDecoder(const TTiffPageLayout& page, std::size_t rowBytes, bool lzwEnabled);

  // Decodes `rows` rows of `strip` from `file` into `out` (rows × rowBytes).
  // Group 4 data that ends early keeps the rows decoded so far; the rest of
  // the strip is white.
  void Decode(const std::uint8_t* file, const TTiffStrip& strip, int rows, std::uint8_t* out);
  // Whether the page's strips hold their rows exactly as decoded
  // (uncompressed, FillOrder 1, no predictor): such rows are read where
  // they are instead of being decoded into a buffer.
  bool StoresRowsAsTheyAre() const;
  // The `rows` rows of such a strip inside `file`; raises the reader's error
  // when the strip is not exactly that long.
  const std::uint8_t* StoredRows(const std::uint8_t* file, const TTiffStrip& strip, int rows) const;

 private:
  void DecompressBytes(const std::uint8_t* data, std::size_t size, std::size_t needed, std::uint8_t* out) const;
  void UndoPredictor(std::uint8_t* rows, int count) const;

  const TTiffPageLayout& page_;
  std::size_t rowBytes_;
  TCCITTDecoder ccitt_;
  std::vector<std::uint8_t> reversed_;  // strip bytes with FillOrder 2
};

}  // namespace pagewell
