// The element methods: a page moves, sizes, borders, recolours, relabels,
// hides and shows the form's elements by name. Every call answers a result
// code; nothing here fails at the interface.
#include "twain_form.h"

#include <commctrl.h>

#include <algorithm>

#include "element_alerts.h"
#include "element_geometry.h"
#include "element_rules.h"
#include "form_window_classes.h"

namespace pagewell {
namespace {

// The distance from rdbSingle's top to rdbAll's, as designed.
constexpr long kOptionSpacing = 24;

bool isMainArea(ElementGroup group) { return group == ElementGroup::MainArea; }

}  // namespace

int TTwainForm::reportElement(std::wstring_view method, int code, std::wstring_view element) {
  alertElementResult(method, code, element);
  return code;
}

int TTwainForm::thumbnailCaptionHeight() const {
  CY size{};
  if (!font_ || FAILED(font_->get_Size(&size))) return 8;
  return static_cast<int>(size.int64 / 10000);
}

// --- SetLeft, SetTop --------------------------------------------------------

int TTwainForm::setElementLeft(std::wstring_view element, long left) {
  return setElementPosition(L"SetLeft", element, left, Axis::Horizontal);
}

int TTwainForm::setElementTop(std::wstring_view element, long top) {
  return setElementPosition(L"SetTop", element, top, Axis::Vertical);
}

int TTwainForm::setElementPosition(std::wstring_view method, std::wstring_view element, long value,
                                   Axis axis) {
  std::optional<std::size_t> entry = findElement(element);
  if (!entry) return reportElement(method, kElementUnknown, element);
  int code = applyPosition(*entry, value, axis);
  if (isMainArea(elements_.group(*entry))) layOutAndFit(method);
  return reportElement(method, code, element);
}

int TTwainForm::applyPosition(std::size_t entry, long value, Axis axis) {
  const bool horizontal = axis == Axis::Horizontal;
  HWND first = component(elements_.component(entry));
  const char* companionName = elements_.companion(entry);
  HWND second = companionName ? component(companionName) : nullptr;
  switch (elements_.group(entry)) {
    case ElementGroup::MainArea: {
      ValueOutcome outcome = mainAreaPosition(value);
      if (!outcome.apply) return outcome.code;
      // The viewer is re-centred in its frame when the page is next shown.
      moveComponent(first, *outcome.apply, horizontal);
      if (entry == kControlPanel) moveComponent(second, *outcome.apply, horizontal);
      return outcome.code;
    }
    case ElementGroup::Tab:
      return kElementNotApplicable;
    case ElementGroup::OptionPages: {
      if (horizontal) {
        moveComponent(first, value, true);
        moveComponent(second, value, true);
        return std::max(containedCheck(entry, value, componentBounds(first).width(), axis),
                        containedCheck(entry, value, componentBounds(second).width(), axis));
      }
      moveComponent(first, value, false);
      moveComponent(second, static_cast<long long>(value) + kOptionSpacing, false);
      const long long stacked = static_cast<long long>(componentBounds(first).height()) +
                                componentBounds(second).height();
      return containedCheck(entry, value, clampToLong(stacked), axis);
    }
    case ElementGroup::ProgressBar: {
      // The element's top is the label row's; the bar lies below it.
      long long position = value;
      if (!horizontal) position += state_.layout.labelRowHeight;
      moveComponent(first, position, horizontal);
      ComponentBounds bar = componentBounds(first);
      return containedCheck(entry, clampToLong(position), horizontal ? bar.width() : bar.height(), axis);
    }
    default: {
      moveComponent(first, value, horizontal);
      if (second) moveComponent(second, value, horizontal);  // InputResolution's two boxes
      ComponentBounds placed = componentBounds(first);
      return containedCheck(entry, value, horizontal ? placed.width() : placed.height(), axis);
    }
  }
}

// 4 when the element reaches past its declared container on that axis.
int TTwainForm::containedCheck(std::size_t entry, long position, long extent, Axis axis) const {
  HWND container = component(elements_.container(entry));
  if (!container) return kElementOk;
  ComponentBounds room = componentBounds(container);
  return pagewell::containedCheck(position, extent, axis == Axis::Horizontal ? room.width() : room.height());
}

// --- SetWidth, SetHeight ----------------------------------------------------

int TTwainForm::setElementWidth(std::wstring_view element, long width) {
  return setElementSize(L"SetWidth", element, width, Axis::Horizontal);
}

int TTwainForm::setElementHeight(std::wstring_view element, long height) {
  return setElementSize(L"SetHeight", element, height, Axis::Vertical);
}

int TTwainForm::setElementSize(std::wstring_view method, std::wstring_view element, long value, Axis axis) {
  std::optional<std::size_t> entry = findElement(element);
  if (!entry) return reportElement(method, kElementUnknown, element);
  int code = applySize(*entry, value, axis);
  if (isMainArea(elements_.group(*entry))) layOutAndFit(method);
  return reportElement(method, code, element);
}

int TTwainForm::applySize(std::size_t entry, long value, Axis axis) {
  const bool horizontal = axis == Axis::Horizontal;
  HWND first = component(elements_.component(entry));
  const char* companionName = elements_.companion(entry);
  HWND second = companionName ? component(companionName) : nullptr;
  switch (elements_.group(entry)) {
    case ElementGroup::MainArea:
      return applyMainAreaSize(entry, value, axis);
    case ElementGroup::Tab:
    case ElementGroup::Label:  // labels size themselves to their text
      return kElementNotApplicable;
    case ElementGroup::Input:
    case ElementGroup::CheckBox:
    case ElementGroup::OptionPages:
      // Their height follows their font.
      if (!horizontal) return kElementNotApplicable;
      resizeComponent(first, value, true);
      if (second) resizeComponent(second, value, true);
      return containedCheck(entry, componentBounds(first).left, value, axis);
    case ElementGroup::ProgressBar: {
      if (horizontal) {
        resizeComponent(first, value, true);
        return containedCheck(entry, componentBounds(first).left, value, axis);
      }
      ValueOutcome outcome = progressBarHeight(value, state_.layout);
      if (!outcome.apply) return outcome.code;
      resizeComponent(first, *outcome.apply, false);
      return containedCheck(entry, componentBounds(first).top, *outcome.apply, axis);
    }
    default: {  // frames and buttons
      resizeComponent(first, value, horizontal);
      ComponentBounds placed = componentBounds(first);
      return containedCheck(entry, horizontal ? placed.left : placed.top, value, axis);
    }
  }
}

int TTwainForm::applyMainAreaSize(std::size_t entry, long value, Axis axis) {
  const bool horizontal = axis == Axis::Horizontal;
  ValueOutcome outcome;
  if (entry == kCurrentImage)
    outcome = currentImageSize(value, state_.layout);
  else if (entry == kThumbnails)
    outcome = horizontal ? thumbnailsWidth(value, state_.layout)
                         : thumbnailsHeight(value, thumbnailCaptionHeight(), state_.layout);
  else
    outcome = controlPanelSize(value);
  if (!outcome.apply) return outcome.code;
  resizeComponent(component(elements_.component(entry)), *outcome.apply, horizontal);
  if (entry == kControlPanel) {
    resizeComponent(component("grpPanel"), *outcome.apply, horizontal);
    placeSheets();
  }
  return outcome.code;
}

// --- SetBorder --------------------------------------------------------------

int TTwainForm::setElementBorder(std::wstring_view element, long border) {
  std::optional<std::size_t> entry = findElement(element);
  if (!entry) return reportElement(L"SetBorder", kElementUnknown, element);
  int code = applyBorder(*entry, border);
  layOutAndFit(L"SetBorder");
  return reportElement(L"SetBorder", code, element);
}

int TTwainForm::applyBorder(std::size_t entry, long value) {
  ValueOutcome outcome;
  if (entry == kCurrentImage)
    outcome = currentImageBorder(value, componentBounds(component("shpMain")).width(), state_.layout);
  else if (entry == kThumbnails)
    outcome = thumbnailGap(value);
  else
    return kElementNotApplicable;
  if (!outcome.apply) return outcome.code;
  const int applied = static_cast<int>(std::min<long>(*outcome.apply, kCoordinateLimit));
  (entry == kCurrentImage ? state_.layout.mainBorder : state_.layout.thumbnailGap) = applied;
  return outcome.code;
}

// --- SetText ----------------------------------------------------------------

int TTwainForm::setElementText(std::wstring_view element, std::wstring_view text, long index) {
  std::optional<std::size_t> entry = findElement(element);
  if (!entry) return reportElement(L"SetText", kElementUnknown, element);
  return reportElement(L"SetText", applyText(*entry, text, index), element);
}

int TTwainForm::applyText(std::size_t entry, std::wstring_view text, long index) {
  const std::string name = elements_.component(entry);
  if (entry == kCurrentImage) return kElementNotApplicable;
  if (entry == kControlPanel) {
    setText("grpPanel", text);
    return kElementOk;
  }
  if (name == "edtWidth" || name == "edtHeight") return kElementUnidentified;
  if (name == "cboPixelType") {
    if (int code = indexCheck(index, static_cast<int>(state_.pixelTypeNames.size()))) return code;
    state_.pixelTypeNames[static_cast<std::size_t>(index)] = text;
    fillPixelTypeList();
    return kElementOk;
  }
  if (name == "cboResUnits" || name == "cboSizeUnits") {
    if (int code = indexCheck(index, static_cast<int>(state_.unitNames.size()))) return code;
    state_.unitNames[static_cast<std::size_t>(index)] = text;
    refillUnitLists();
    return kElementOk;
  }
  if (name == "cboPageSize") {
    if (int code = indexCheck(index, static_cast<int>(state_.pageSizes.size()))) return code;
    state_.pageSizes[static_cast<std::size_t>(index)].name = text;
    connectDevice();
    return kElementOk;
  }
  switch (elements_.group(entry)) {
    case ElementGroup::Input:
      return kElementNotApplicable;
    case ElementGroup::OptionPages:
      if (int code = indexCheck(index, 2)) return code;
      setText(index == 0 ? "rdbSingle" : "rdbAll", text);
      return kElementOk;
    case ElementGroup::ProgressBar:
      if (int code = indexCheck(index, static_cast<int>(state_.statusTexts.size()))) return code;
      state_.statusTexts[static_cast<std::size_t>(index)] = text;
      return kElementOk;
    case ElementGroup::Tab:
      setSheetCaption(component(name), text);
      return kElementOk;
    case ElementGroup::Label:
      setText(name, text);
      fitLabelToText(component(name));
      return kElementOk;
    default:  // the strip, frames, buttons and check boxes: their caption
      setText(name, text);
      return kElementOk;
  }
}

// A tab's caption shows on its tab too, while the tab is there.
void TTwainForm::setSheetCaption(HWND sheet, std::wstring_view caption) {
  std::wstring terminated(caption);
  SetWindowTextW(sheet, terminated.c_str());
  static const char* const kSheets[] = {"tab1", "tab2", "tab3", "tab4", "tab5"};
  HWND pages = component("pgcPanel");
  for (int i = 0; i < TabCtrl_GetItemCount(pages) && i < 5; ++i) {
    if (component(kSheets[i]) != sheet) continue;
    TCITEMW item{};
    item.mask = TCIF_TEXT;
    item.pszText = terminated.data();
    TabCtrl_SetItem(pages, i, &item);
  }
}

// --- SetColor ---------------------------------------------------------------

int TTwainForm::setElementColor(std::wstring_view element, OLE_COLOR color) {
  std::optional<std::size_t> entry = findElement(element);
  if (!entry) return reportElement(L"SetColor", kElementUnknown, element);
  if (*entry != kCurrentImage && *entry != kThumbnails)
    return reportElement(L"SetColor", kElementNotApplicable, element);
  COLORREF rgb = 0;
  if (FAILED(OleTranslateColor(color, nullptr, &rgb)))
    return reportElement(L"SetColor", kElementValueRefused, element);
  // The frame around the image, or the highlight behind the current
  // thumbnail (whose page-number label takes the colour at the next refresh).
  setShapeBrush(component(*entry == kCurrentImage ? "shpMain" : "shpCurrent"), rgb);
  return reportElement(L"SetColor", kElementOk, element);
}

// --- HideElement, ShowElement -----------------------------------------------

int TTwainForm::hideElement(std::wstring_view element) {
  std::optional<std::size_t> entry = findElement(element);
  if (!entry) return reportElement(L"HideElement", kElementUnknown, element);
  return reportElement(L"HideElement", applyVisibility(*entry, false), element);
}

int TTwainForm::showElement(std::wstring_view element) {
  std::optional<std::size_t> entry = findElement(element);
  if (!entry) return reportElement(L"ShowElement", kElementUnknown, element);
  return reportElement(L"ShowElement", applyVisibility(*entry, true), element);
}

int TTwainForm::applyVisibility(std::size_t entry, bool visible) {
  const std::string name = elements_.component(entry);
  if (entry == kControlPanel || elements_.group(entry) == ElementGroup::Tab || name == "btnAcquire")
    return kElementNotApplicable;
  if (entry == kCurrentImage) {
    show("shpMain", visible);
    show("PWImageMain", visible);
    fitForm();
    return kElementOk;
  }
  if (entry == kThumbnails) {
    show("grpThumbs", visible);
    if (visible) {
      // Acquire comes back as the device allows: never enabled without one.
      enable("btnAcquire", state_.deviceConnected);
    } else {
      // Without the strip only one page can be shown: single-image mode.
      show("chkMultiImage", false);
      setChecked("chkMultiImage", false);
      if (pageCount() > 0) enable("btnAcquire", false);
      show("chkCloseInterface", false);
      show("chkDuplex", false);
    }
    fitForm();
    return kElementOk;
  }
  if (name == "edtResolution" && visible) {
    // The two resolution boxes share one place and the scan panel reads the
    // one its list mode names: showing both would cover that one.
    show("cboResolution", state_.resolutionListMode);
    show("edtResolution", !state_.resolutionListMode);
    return kElementOk;
  }
  show(name, visible);
  if (const char* companion = elements_.companion(entry)) show(companion, visible);
  return kElementOk;
}

}  // namespace pagewell
