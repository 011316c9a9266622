#include "editing_commands.h"

#include <windows.h>

#include <functional>

#include "twain_form.h"
#include "viewer/pw_image.h"

namespace pagewell {
namespace {

struct EditingCommand {
  const char* button;
  std::function<void(TTwainForm& form, TPWImage& page)> perPage;
};

const EditingCommand kCommands[] = {
    {"btnRot90CW", [](TTwainForm&, TPWImage& page) { page.Rotate(-90); }},
    {"btnRot90CCW", [](TTwainForm&, TPWImage& page) { page.Rotate(90); }},
    {"btnRot180", [](TTwainForm&, TPWImage& page) { page.Rotate(180); }},
    {"btnDeskew", [](TTwainForm&, TPWImage& page) { page.Deskew(); }},
    {"btnDespeckle", [](TTwainForm&, TPWImage& page) { page.Despeckle(); }},
    // The text is read again for every page.
    {"btnText", [](TTwainForm& form, TPWImage& page) { page.StampText(form.text("edtText")); }},
};

// Each page is fetched, edited and kept again before the next is fetched,
// so editing all pages holds one page's image at a time; the thumbnail is
// fitted to the edited page.
void runOnSelectedPages(TTwainForm& form, const EditingCommand& command) {
  const unsigned count = form.pageCount();
  const bool allPages = form.checked("rdbAll");
  const unsigned first = allPages ? 1 : form.currentPage();
  const unsigned last = allPages ? count : form.currentPage();
  for (unsigned position = first; position >= 1 && position <= last; ++position) {
    TPWImage* page = form.pageViewer(position);
    if (!page) continue;
    form.editPage(*page, [&](TPWImage& viewer) { command.perPage(form, viewer); });
  }
  form.showCurrentPage();
  form.refreshThumbnails();
}

void setPanelEnabled(TTwainForm& form, bool enabled) {
  for (const char* name : {"pgcPanel", "grpPanel"}) EnableWindow(form.component(name), enabled);
}

// The main viewer shows the current page at the page's own pixel size, so
// the rectangle dragged on it applies to the page unchanged. A release
// without a dragged rectangle selects one pixel (or nothing), which leaves
// the page as it was.
void cropCurrentPage(TTwainForm& form) {
  TPWImage* page = form.pageViewer(form.currentPage());
  if (!page) return;
  form.state().cropInProgress = true;
  setPanelEnabled(form, false);
  SetCursor(LoadCursorW(nullptr, IDC_WAIT));

  TPWImage& main = form.mainViewer();
  main.SelectRectangle();
  const int left = main.SelectionLeft(), right = main.SelectionRight();
  const int top = main.SelectionTop(), bottom = main.SelectionBottom();
  if (right > left && bottom > top) {
    form.editPage(*page, [&](TPWImage& viewer) { viewer.CropToRectangle(left, right, top, bottom); });
  }

  form.state().cropInProgress = false;
  SetCursor(LoadCursorW(nullptr, IDC_ARROW));
  setPanelEnabled(form, true);
  form.showCurrentPage();
  form.refreshThumbnails();
}

}  // namespace

bool RunEditingCommand(TTwainForm& form, const std::string& buttonName) {
  if (buttonName == "btnCrop") {
    if (form.pageCount() > 0) cropCurrentPage(form);
    return true;
  }
  for (const EditingCommand& command : kCommands) {
    if (buttonName != command.button) continue;
    if (form.pageCount() > 0) runOnSelectedPages(form, command);
    return true;
  }
  return false;
}

}  // namespace pagewell
