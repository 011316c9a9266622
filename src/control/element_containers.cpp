// Which container each element is declared in: SetContainer re-parents an
// element, and ControlPanelTabs moves the elements of the first tab between
// the tabbed panel and the single panel.
#include "element_alerts.h"
#include "element_geometry.h"
#include "twain_form.h"

namespace pagewell {

void TTwainForm::buildElementTable() { elements_ = ElementTable(); }

// The element keeps its Left and Top inside the new container. An element
// with two components moves both: they belong together (the two resolution
// boxes in one place, the progress bar with its label, and the two option
// buttons, which only exclude each other while they share a parent).
void TTwainForm::moveIntoContainer(std::size_t entry, const std::string& container) {
  elements_.setContainer(entry, container);
  HWND parent = component(container);
  reparentKeepingPlace(component(elements_.component(entry)), parent);
  if (const char* companion = elements_.companion(entry)) reparentKeepingPlace(component(companion), parent);
}

int TTwainForm::setElementContainer(std::wstring_view element, std::wstring_view container) {
  std::optional<std::size_t> entry = findElement(element);
  if (!entry) return reportElement(L"SetContainer", kElementUnknown, element);
  std::optional<std::size_t> target = findElement(container);
  if (!target) return reportElement(L"SetContainer", kElementUnknown, container);
  if (*entry < kFirstMovableElement) return reportElement(L"SetContainer", kElementNotApplicable, element);
  if (!elements_.canContain(*target)) return reportElement(L"SetContainer", kElementCannotContain, container);
  // A frame cannot go inside itself or inside a frame it holds: the
  // windows would form a loop and vanish from the form.
  HWND moved = component(elements_.component(*entry));
  HWND into = component(elements_.component(*target));
  if (moved == into || IsChild(moved, into)) return reportElement(L"SetContainer", kElementValueRefused, element);
  moveIntoContainer(*entry, elements_.component(*target));
  return reportElement(L"SetContainer", kElementOk, element);
}

// Steps 1 to 3 of ControlPanelTabs, before the count changes. Going back to
// tabs brings the elements that went into the single panel back to tab1, so
// the tabs look as they did.
void TTwainForm::moveTab1Elements(int newTabCount) {
  const int count = state_.controlPanelTabs;
  auto moveAll = [this](const std::string& from, const std::string& to) {
    for (std::size_t entry = kFirstMovableElement; entry < kElementCount; ++entry)
      if (elements_.container(entry) == from) moveIntoContainer(entry, to);
  };
  if (newTabCount == 1 && count >= 2) {
    elements_.setTab1Component("grpPanel");
    moveAll("tab1", "grpPanel");
  }
  if (newTabCount >= 2 && newTabCount <= 5 && count == 1) {
    elements_.setTab1Component("tab1");
    moveAll("grpPanel", "tab1");
  }
  if (elements_.tab1Component() != "tab1") moveAll("tab1", elements_.tab1Component());
}

}  // namespace pagewell
