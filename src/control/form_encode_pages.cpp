// EncodePages on the form: its pages, its progress label and bar, its abort
// flag; and the output decisions the form's state makes.
#include <windows.h>
#include <commctrl.h>

#include <string>

#include "encode_pages.h"
#include "file_format.h"
#include "twain_form.h"
#include "viewer/message_pump.h"

namespace pagewell {
namespace {

// The form's progress label and bar, told before each page of several.
class FormProgress final : public TPageEncodingProgress {
 public:
  explicit FormProgress(TTwainForm& form) : form_(form) {}

  bool BeforePage(int page, int count) override {
    const auto& texts = form_.state().statusTexts;
    showLabel(PreparingPageText(texts[0], texts[1], page, count));
    SendMessageW(form_.component("pbrUpload"), PBM_SETPOS, static_cast<WPARAM>((page - 1) * 100 / count), 0);
    ProcessPendingMessages();
    return !form_.state().abortUpload;
  }

  void PagesDone() override {
    if (!form_.state().abortUpload) SendMessageW(form_.component("pbrUpload"), PBM_SETPOS, 100, 0);
    ProcessPendingMessages();
  }

 private:
  // The label takes the width of its text and stands centred over the bar.
  void showLabel(const std::wstring& text) {
    HWND label = form_.component("lblProgress");
    HWND bar = form_.component("pbrUpload");
    if (!label || !bar) return;
    SetWindowTextW(label, text.c_str());
    SIZE extent{};
    if (HDC dc = GetDC(label)) {
      HGDIOBJ old = SelectObject(dc, reinterpret_cast<HFONT>(SendMessageW(label, WM_GETFONT, 0, 0)));
      GetTextExtentPoint32W(dc, text.c_str(), static_cast<int>(text.size()), &extent);
      SelectObject(dc, old);
      ReleaseDC(label, dc);
    }
    RECT labelBounds, barBounds;
    GetWindowRect(label, &labelBounds);
    GetWindowRect(bar, &barBounds);
    HWND parent = GetParent(label);
    MapWindowPoints(nullptr, parent, reinterpret_cast<POINT*>(&labelBounds), 2);
    MapWindowPoints(nullptr, GetParent(bar), reinterpret_cast<POINT*>(&barBounds), 2);
    const int width = extent.cx;
    const int left = barBounds.left + (barBounds.right - barBounds.left - width) / 2;
    SetWindowPos(label, nullptr, left, labelBounds.top, width, labelBounds.bottom - labelBounds.top,
                 SWP_NOZORDER | SWP_NOACTIVATE);
  }

  TTwainForm& form_;
};

}  // namespace

int ResolveFileFormat(const TTwainForm& form) {
  return ResolveFileFormat(form.state().fileFormat, form.text("edtFileName"));
}

bool OutputHoldsAllPages(const TTwainForm& form, int formatCode) {
  return form.checked("rdbAll") && FormatHoldsSeveralPages(formatCode);
}

EncodeOutcome EncodePages(TTwainForm& form, TMemoryStream& stream, bool allPages, int formatCode, unsigned pageIndex) {
  FormProgress progress(form);
  return EncodePages(form.pageBitmaps(), stream, allPages, formatCode, pageIndex, &progress);
}

}  // namespace pagewell
