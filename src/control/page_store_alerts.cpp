// What the user reads when a page cannot be kept or read back: the cause,
// and what became of the pages.
#include <string>

#include "twain_form.h"

namespace pagewell {
namespace {

std::wstring widened(const std::string& ascii) { return std::wstring(ascii.begin(), ascii.end()); }

const wchar_t* consequence(TTwainForm::PageStep step) {
  switch (step) {
    case TTwainForm::PageStep::Keep:
      return L"The scanned page could not be kept and scanning has stopped; the pages scanned before it are "
             L"kept.";
    case TTwainForm::PageStep::Show: return L"The page could not be read back and is not shown.";
    case TTwainForm::PageStep::Edit: return L"The page could not be changed and is left as it was.";
    case TTwainForm::PageStep::Output: return L"The page could not be read back; nothing was written or sent.";
  }
  return L"";
}

}  // namespace

void TTwainForm::alertPageStoreError(PageStep step, TPageStoreError error) {
  if (!state_.debugAlerts || error == TPageStoreError::None) return;
  showDebugAlert(std::wstring(consequence(step)) + L"\n\n" + widened(PageStoreErrorText(error)));
}

}  // namespace pagewell
