// EncodePages on the form: its pages, its progress label and bar, its abort
// flag; and the output decisions the form's state makes.
#include <windows.h>
#include <commctrl.h>

#include <string>

#include "encode_pages.h"
#include "file_format.h"
#include "progress_label.h"
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
    SetProgressPosition(form_, (page - 1) * 100 / count);
    ProcessPendingMessages();
    return !form_.state().abortUpload;
  }

  void PagesDone() override {
    if (!form_.state().abortUpload) SetProgressPosition(form_, 100);
    ProcessPendingMessages();
  }

 private:
  void showLabel(const std::wstring& text) { ShowProgressLabel(form_, text); }

  TTwainForm& form_;
};

}  // namespace

int ResolveFileFormat(const TTwainForm& form) {
  return ResolveFileFormat(form.state().fileFormat, form.text("edtFileName"));
}

bool OutputHoldsAllPages(const TTwainForm& form, int formatCode) {
  return form.checked("rdbAll") && FormatHoldsSeveralPages(formatCode);
}

EncodeOutcome EncodePages(TTwainForm& form, TByteSink& sink, bool allPages, int formatCode, unsigned pageIndex) {
  FormProgress progress(form);
  OutputPages pages;
  pages.count = form.pageCount();
  pages.fetch = [&form](unsigned position, TluBitmap& page) { return form.pageImage(position, page); };
  TPageStoreError readError = TPageStoreError::None;
  const EncodeOutcome outcome = EncodePages(pages, sink, allPages, formatCode, pageIndex, &progress, &readError);
  if (outcome == EncodeOutcome::PageUnreadable) form.alertPageStoreError(TTwainForm::PageStep::Output, readError);
  return outcome;
}

}  // namespace pagewell
