#pragma once
// TTwainFormAbout: the modal about box with the product's name, version and
// build number.
#include <windows.h>

namespace pagewell {

class TTwainFormAbout {
 public:
  static constexpr const wchar_t* kBuildLabel = L"Build No.: 1.3.0.0";
  // Shows the box and returns when the user closes it.
  static void show(HWND owner);
};

}  // namespace pagewell
