#pragma once
// The upload's progress bar and the label centred over it ("Uploading...
// 40%"). The body goes out in 4096-byte pieces and the display is set after
// each one, while what it shows changes only a hundred times in a whole
// upload. Under Wine, setting the label costs a repaint, a window move and
// several calls to the server, about 0.3 ms: more than sending the piece.
// So a setting that would leave everything as it is is not made again.
#include <windows.h>

#include <string>

namespace pagewell {

// Sets `label` to `text` sized to its width, centred over `bar` (left =
// bar left + (bar width - text width) / 2, truncating toward zero) with its
// top 20 pixels above the bar's.
void CentreProgressLabel(HWND bar, HWND label, const std::wstring& text);

class UploadProgressDisplay {
 public:
  UploadProgressDisplay(HWND bar, HWND label) : bar_(bar), label_(label) {}

  // The bar at `percent` and the label at `text` (CentreProgressLabel).
  // Nothing is done when the bar already stands at `percent`, the label
  // already reads `text`, and neither window nor the label's font has
  // changed since this display last placed the label: the same setting
  // would give the same picture.
  void show(int percent, const std::wstring& text);

 private:
  bool showsAlready(int percent, const std::wstring& text) const;

  HWND bar_, label_;
  bool placed_ = false;  // the fields below hold what the last placing left
  RECT barRect_{}, labelRect_{};
  HFONT font_ = nullptr;
};

}  // namespace pagewell
