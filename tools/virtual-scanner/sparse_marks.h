#pragma once
// What a nearly empty sheet carries: the pages that blank-page removal must
// never take for blank.

namespace virtual_scanner {

struct TSparseMarks {
  bool Signature = false;   // a signature alone, low on the right
  bool PageNumber = false;  // "- N -" centred 0.75 inch above the bottom
  bool OneLine = false;     // one typed line near the top
  bool Stamp = false;       // a small red "RECEIVED" stamp with its date
  bool Any() const { return Signature || PageNumber || OneLine || Stamp; }
};

}  // namespace virtual_scanner
