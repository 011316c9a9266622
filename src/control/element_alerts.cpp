#include "element_alerts.h"

#include "twain_form.h"

namespace pagewell {

std::wstring elementAlertText(std::wstring_view method, int code, std::wstring_view element) {
  const std::wstring name = L"\"" + std::wstring(element) + L"\"";
  std::wstring text(method);
  switch (code) {
    case kElementUnknown:
      return text + L": Element name " + name + L" not recognised. Check spelling.";
    case kElementNotApplicable:
      return text + L": This property cannot be set for Element " + name + L".";
    case kElementValueRefused:
      return text + L": Specified value is not valid for Element " + name + L" and is ignored.";
    case kElementOutsideContainer:
      return text + L": Specified value is inconsistent with other property values for Element " + name +
             L" or its container, but is accepted.";
    case kElementValueReplaced:
      return text + L": Specified value is inconsistent with other property values for Element " + name +
             L".  Set to a different value.";
    case kElementIndexOutOfRange:
      return text + L": Value give for Index is out of allowed range for Element " + name + L".";
    case kElementCannotContain:
      return text + L": Element " + name + L" cannot contain another element.";
    case kThumbRowsReduced:
      return text + L": Number of thumbnail rows reduced to fit in available height.";
    case kThumbStripHeightened:
      return text + L": Height of Thumbnails element increased to fit single image.";
    case kThumbStripWidened:
      return text + L": Width of Thumbnails element increased to fit single image.";
    default:
      return text + L": Unidentified error for Element " + name + L".";
  }
}

// One modal box per non-zero result, owned by the window the form sits in so
// that the page waits for it as for any of its own dialogs.
void TTwainForm::alertElementResult(std::wstring_view method, int code, std::wstring_view element) {
  if (!state_.debugAlerts || code == kElementOk) return;
  showDebugAlert(elementAlertText(method, code, element));
}

void TTwainForm::showDebugAlert(const std::wstring& text) {
  HWND owner = GetAncestor(window_.get(), GA_ROOT);
  MessageBoxW(owner == parking_.get() ? nullptr : owner, text.c_str(), L"Pagewell", MB_OK);
}

}  // namespace pagewell
