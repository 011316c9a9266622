#pragma once
// The form properties that ITwainForm forwards from the ActiveX framework
// and that have no on-screen control of their own to live in.
#include <windows.h>

#include <string>

namespace pagewell {

enum class AxBorderStyle { None = 0, Single = 1, Sunken = 2, Raised = 3 };

struct FrameworkProperties {
  bool autoScroll = false;
  bool autoSize = false;
  AxBorderStyle borderStyle = AxBorderStyle::None;
  // clBtnFace: the system colour of dialog faces.
  DWORD color = 0x80000000 | COLOR_BTNFACE;
  bool keyPreview = false;
  long pixelsPerInch = 96;
  long printScale = 1;  // poProportional
  bool scaled = true;
  bool dropTarget = false;
  std::wstring helpFile;
  bool screenSnap = false;
  long snapBuffer = 10;
  bool doubleBuffered = false;
};

}  // namespace pagewell
