#include "progress_label.h"

#include <windows.h>
#include <commctrl.h>

#include "twain_form.h"
#include "upload/windows/progress_display.h"

namespace pagewell {

void ShowProgressLabel(TTwainForm& form, const std::wstring& text) {
  CentreProgressLabel(form.component("pbrUpload"), form.component("lblProgress"), text);
}

void SetProgressPosition(TTwainForm& form, int percent) {
  SendMessageW(form.component("pbrUpload"), PBM_SETPOS, static_cast<WPARAM>(percent), 0);
}

}  // namespace pagewell
