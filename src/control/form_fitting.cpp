// Fitting the form around its three main areas: the image frame, the
// thumbnail strip and the control panel. The page reads the result through
// RequiredWidth and RequiredHeight to size the control's place in the page.
#include <algorithm>

#include "element_geometry.h"
#include "twain_form.h"

namespace pagewell {
namespace {

bool hasVisibleStyle(HWND window) { return (GetWindowLongPtrW(window, GWL_STYLE) & WS_VISIBLE) != 0; }

// Never closer to the form's edge than the outer margin.
void keepOffTheEdge(HWND area, long margin) {
  ComponentBounds bounds = componentBounds(area);
  if (bounds.left < margin) moveComponent(area, margin, true);
  if (bounds.top < margin) moveComponent(area, margin, false);
}

}  // namespace

// The form's own size is what is fitted, so a resize from outside (the host
// placing the control) is followed by a fitting too; the guard stops the
// fitting's own resize from starting another.
void TTwainForm::fitForm() {
  HWND image = component("shpMain");
  HWND strip = component("grpThumbs");
  HWND panel = component("pgcPanel");
  HWND singlePanel = component("grpPanel");
  if (fitting_ || !image || !strip || !panel || !singlePanel) return;
  fitting_ = true;
  const long margin = state_.layout.outerMargin;
  for (HWND area : {image, strip, panel}) keepOffTheEdge(area, margin);
  // The single panel stands where the tabbed one stands.
  ComponentBounds panelBounds = componentBounds(panel);
  SetWindowPos(singlePanel, nullptr, static_cast<int>(panelBounds.left), static_cast<int>(panelBounds.top), 0, 0,
               SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);

  long long right = panelBounds.right, bottom = panelBounds.bottom;
  for (HWND area : {image, strip}) {
    if (!hasVisibleStyle(area)) continue;
    ComponentBounds bounds = componentBounds(area);
    right = std::max<long long>(right, bounds.right);
    bottom = std::max<long long>(bottom, bounds.bottom);
  }
  const int width = static_cast<int>(std::clamp<long long>(margin + right, 0, kCoordinateLimit));
  const int height = static_cast<int>(std::clamp<long long>(margin + bottom, 0, kCoordinateLimit));
  SetWindowPos(window_.get(), nullptr, 0, 0, width, height, SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
  fitting_ = false;
}

// While a crop waits for the user's rectangle (only the image takes input
// then) and while an upload runs, the form and its main areas show the
// hourglass.
bool TTwainForm::showsBusyCursor(HWND over) const {
  if (!(state_.cropInProgress || state_.uploadInProgress) || !over) return false;
  if (over == window_.get()) return true;
  for (const char* name : {"shpMain", "pgcPanel", "grpPanel", "grpThumbs"})
    if (over == component(name)) return true;
  return false;
}

}  // namespace pagewell
