#pragma once
// Decoding of CCITT bilevel data as TIFF stores it: modified Huffman
// (compression 2), Group 3 one- and two-dimensional (3) and Group 4 (4).
// Decoded rows hold 0 bits for the runs coded as white and 1 bits for the
// runs coded as black; PhotometricInterpretation decides what they show.
#include <cstddef>
#include <cstdint>
#include <vector>

namespace pagewell {

enum class TCCITTScheme { ModifiedHuffman, Group3, Group4 };

class TCCITTDecoder {
 public:
  // `t4Options` is the TIFF T4Options value (bit 0: two-dimensional coding).
  TCCITTDecoder(TCCITTScheme scheme, std::uint32_t t4Options, int width);

  // Decodes the `rows` rows of one strip into `out`, `rowBytes` bytes a row.
  // Raises EOverrunStream when Group 4 data ends early (the rows decoded so
  // far are in `out`) and EInvalidGraphic "TIFF file image data corrupted"
  // for codes that do not fit the scheme or the row width.
  void DecodeStrip(const std::uint8_t* data, std::size_t size, int rows, std::uint8_t* out, std::size_t rowBytes);

 private:
  TCCITTScheme scheme_;
  bool twoDimensional_;
  int width_;
  std::vector<int> reference_;
  std::vector<int> coding_;
};

}  // namespace pagewell
