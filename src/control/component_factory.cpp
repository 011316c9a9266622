#include "component_factory.h"

#include <commctrl.h>

#include "com/module.h"
#include "form_window_classes.h"

namespace pagewell {
namespace {

struct WindowRecipe {
  const wchar_t* windowClass;
  DWORD style;
  DWORD exStyle;
};

// A drop-down list's window includes its list; the design height is the
// height of the closed box.
constexpr int kDropDownListHeight = 200;

WindowRecipe recipeFor(const ComponentDesign& design) {
  const DWORD child = WS_CHILD | WS_CLIPSIBLINGS;
  switch (design.kind) {
    case ComponentKind::Shape: return {kShapeClass, child, 0};
    // Stands in the viewer's place until the viewer control is built.
    case ComponentKind::Viewer: return {kShapeClass, child, 0};
    case ComponentKind::GroupBox: return {kGroupBoxClass, child | WS_CLIPCHILDREN, WS_EX_CONTROLPARENT};
    case ComponentKind::PageControl: return {WC_TABCONTROLW, child | WS_CLIPCHILDREN | WS_TABSTOP, WS_EX_CONTROLPARENT};
    case ComponentKind::TabSheet: return {kSheetClass, child | WS_CLIPCHILDREN, WS_EX_CONTROLPARENT};
    case ComponentKind::Button: return {L"BUTTON", child | BS_PUSHBUTTON | WS_TABSTOP, 0};
    case ComponentKind::CheckBox: return {L"BUTTON", child | BS_AUTOCHECKBOX | WS_TABSTOP, 0};
    case ComponentKind::RadioButton: return {L"BUTTON", child | BS_AUTORADIOBUTTON | WS_TABSTOP, 0};
    case ComponentKind::Label: return {L"STATIC", child | SS_LEFT | SS_NOPREFIX, 0};
    case ComponentKind::ComboBox: {
      // The device list also shows a plain text when there is no device.
      DWORD type = lstrcmpA(design.name, "cboSelect") == 0 ? CBS_DROPDOWN : CBS_DROPDOWNLIST;
      return {WC_COMBOBOXW, child | type | WS_VSCROLL | WS_TABSTOP, 0};
    }
    case ComponentKind::Edit: return {WC_EDITW, child | ES_AUTOHSCROLL | WS_TABSTOP, WS_EX_CLIENTEDGE};
    case ComponentKind::ProgressBar: return {PROGRESS_CLASSW, child, 0};
  }
  return {L"STATIC", child, 0};
}

}  // namespace

RECT sheetArea(HWND pageControl) {
  RECT area;
  GetClientRect(pageControl, &area);
  TabCtrl_AdjustRect(pageControl, FALSE, &area);
  return area;
}

HWND createComponentWindow(const ComponentDesign& design, HWND parent, HWND form, int id) {
  WindowRecipe recipe = recipeFor(design);
  RECT bounds{design.left, design.top, design.left + design.width, design.top + design.height};
  if (design.kind == ComponentKind::TabSheet) bounds = sheetArea(parent);
  int height = bounds.bottom - bounds.top;
  if (design.kind == ComponentKind::ComboBox) height += kDropDownListHeight;
  DWORD style = recipe.style | (design.visible ? WS_VISIBLE : 0);
  HWND window = CreateWindowExW(recipe.exStyle, recipe.windowClass, design.caption, style, bounds.left,
                                bounds.top, bounds.right - bounds.left, height, parent,
                                reinterpret_cast<HMENU>(static_cast<INT_PTR>(id)), moduleInstance(),
                                reinterpret_cast<void*>(form));
  if (window && design.kind == ComponentKind::Edit) SendMessageW(window, EM_SETLIMITTEXT, 0, 0);
  if (window && design.kind == ComponentKind::Viewer) setShapeBrush(window, RGB(255, 255, 255));
  return window;
}

}  // namespace pagewell
