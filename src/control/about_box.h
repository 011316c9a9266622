#pragma once
// TTwainFormAbout: the modal about box with the product's name, version,
// build number and a link to the product's page.
#include <windows.h>

namespace pagewell {

class TTwainFormAbout {
 public:
  static constexpr const wchar_t* kTitle = L"About Pagewell";
  static constexpr const wchar_t* kBuildLabel = L"Build No.: 1.3.0.0";
  // The address the link shows and opens. A placeholder under the reserved
  // .example domain until the product's page is known; it can reach nobody.
  static constexpr const wchar_t* kProductLink = L"https://pagewell.example/";
  static constexpr int kLinkId = 101;
  // Shows the box and returns when the user closes it.
  static void show(HWND owner);
};

}  // namespace pagewell
