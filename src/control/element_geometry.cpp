#include "element_geometry.h"

#include <commctrl.h>

#include <algorithm>
#include <climits>
#include <string>

namespace pagewell {
namespace {

int toCoordinate(long long value) {
  return static_cast<int>(std::clamp<long long>(value, -kCoordinateLimit, kCoordinateLimit));
}

bool isComboBox(HWND window) {
  wchar_t className[32] = {};
  GetClassNameW(window, className, 32);
  return lstrcmpiW(className, WC_COMBOBOXW) == 0;
}

// The height a window is given: for a combo box that includes its drop-down
// list, which its bounds leave out.
int givenHeight(HWND window) {
  if (isComboBox(window)) {
    RECT dropped{};
    if (SendMessageW(window, CB_GETDROPPEDCONTROLRECT, 0, reinterpret_cast<LPARAM>(&dropped)))
      return dropped.bottom - dropped.top;
  }
  return static_cast<int>(componentBounds(window).height());
}

}  // namespace

long clampToLong(long long value) { return static_cast<long>(std::clamp<long long>(value, LONG_MIN, LONG_MAX)); }

ComponentBounds componentBounds(HWND component) {
  RECT bounds{};
  if (!component) return {};
  GetWindowRect(component, &bounds);
  MapWindowPoints(nullptr, GetParent(component), reinterpret_cast<POINT*>(&bounds), 2);
  return {bounds.left, bounds.top, bounds.right, bounds.bottom};
}

void moveComponent(HWND component, long long position, bool horizontal) {
  if (!component) return;
  ComponentBounds bounds = componentBounds(component);
  const int left = horizontal ? toCoordinate(position) : static_cast<int>(bounds.left);
  const int top = horizontal ? static_cast<int>(bounds.top) : toCoordinate(position);
  SetWindowPos(component, nullptr, left, top, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
}

// A negative extent leaves the component empty: a window cannot be
// narrower than nothing.
void resizeComponent(HWND component, long long extent, bool horizontal) {
  if (!component) return;
  ComponentBounds bounds = componentBounds(component);
  const int size = std::max(0, toCoordinate(extent));
  const int width = horizontal ? size : static_cast<int>(bounds.width());
  const int height = horizontal ? givenHeight(component) : size;
  SetWindowPos(component, nullptr, 0, 0, width, height, SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
  InvalidateRect(component, nullptr, TRUE);
}

void reparentKeepingPlace(HWND component, HWND parent) {
  if (!component || !parent || GetParent(component) == parent) return;
  ComponentBounds bounds = componentBounds(component);
  SetParent(component, parent);
  SetWindowPos(component, HWND_TOP, static_cast<int>(bounds.left), static_cast<int>(bounds.top), 0, 0,
               SWP_NOSIZE | SWP_NOACTIVATE);
}

void fitLabelToText(HWND label) {
  if (!label) return;
  std::wstring text(static_cast<size_t>(GetWindowTextLengthW(label)) + 1, L'\0');
  text.resize(static_cast<size_t>(GetWindowTextW(label, text.data(), static_cast<int>(text.size()))));
  HDC dc = GetDC(label);
  HGDIOBJ old = SelectObject(dc, reinterpret_cast<HFONT>(SendMessageW(label, WM_GETFONT, 0, 0)));
  SIZE extent{};
  GetTextExtentPoint32W(dc, text.c_str(), static_cast<int>(text.size()), &extent);
  SelectObject(dc, old);
  ReleaseDC(label, dc);
  ComponentBounds bounds = componentBounds(label);
  SetWindowPos(label, nullptr, 0, 0, toCoordinate(extent.cx), static_cast<int>(bounds.height()),
               SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
  InvalidateRect(label, nullptr, TRUE);
}

}  // namespace pagewell
