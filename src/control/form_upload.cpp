// Upload on the form: the buttons, cursor, progress and events around the
// network procedure of upload/upload_transfer.h.
#include <windows.h>

#include <exception>
#include <memory>
#include <optional>
#include <stdexcept>

#include "encode_pages.h"
#include "page_store/page_file_stream.h"
#include "page_store/windows/temp_page_file.h"
#include "progress_label.h"
#include "served_upload.h"
#include "text/wide_text.h"
#include "twain_form.h"
#include "upload/upload_transfer.h"
#include "upload/windows/crack_url.h"
#include "upload/windows/password_form.h"
#include "upload/windows/progress_display.h"
#include "upload/windows/registry_content_type.h"
#include "upload/windows/wininet_client.h"
#include "viewer/message_pump.h"

namespace pagewell {
namespace {

// Disabled while an upload runs, so that no second command starts.
const char* const kBusyButtons[] = {"btnCrop",  "btnDeskew", "btnDespeckle", "btnRot180",   "btnRot90CW",
                                    "btnRot90CCW", "btnSave", "btnText",     "btnUpload",   "btnClear",
                                    "btnDelete", "btnMoveUp", "btnMoveDown", "btnCustom"};

constexpr DWORD kCompleteShownMs = 1000;
constexpr int kStatusAborted = 1;
constexpr int kStatusTooLarge = 2;

class FormUploadUi final : public UploadUi {
 public:
  explicit FormUploadUi(TTwainForm& form)
      : form_(form), progress_(form.component("pbrUpload"), form.component("lblProgress")) {}
  void showProgress(int percent, const std::wstring& label) override { progress_.show(percent, label); }
  void processMessages() override { ProcessPendingMessages(); }
  bool abortRequested() override { return form_.state().abortUpload; }
  std::optional<UploadCredentials> askCredentials(const std::string& host) override {
    return TfrmPassword::ask(form_.window(), host);
  }

 private:
  TTwainForm& form_;
  UploadProgressDisplay progress_;
};

void waitServingMessages(DWORD milliseconds) {
  const DWORD start = GetTickCount();
  for (DWORD elapsed = 0; elapsed < milliseconds; elapsed = GetTickCount() - start) {
    MsgWaitForMultipleObjects(0, nullptr, FALSE, milliseconds - elapsed, QS_ALLINPUT);
    if (!ProcessPendingMessages()) return;
  }
}

}  // namespace

void TTwainForm::upload() {
  if (pageCount() == 0) return;
  enable("btnAbort", true);
  state_.abortUpload = false;
  events_.raise(FormEvent::StartUpload);
  if (state_.abortUpload) {  // the page aborted in its OnStartUpload handler
    enable("btnAbort", false);
    return;
  }

  const bool acquireWasEnabled = IsWindowEnabled(component("btnAcquire")) != FALSE;
  enable("btnAcquire", false);
  for (const char* name : kBusyButtons) enable(name, false);
  const std::string fileName = ansiFromWide(text("edtFileName"));
  state_.uploadInProgress = true;
  SetCursor(LoadCursorW(nullptr, IDC_WAIT));
  SetProgressPosition(*this, 0);
  show("pbrUpload", true);
  show("lblProgress", true);
  ShowProgressLabel(*this, state_.statusTexts[0] + L"...");
  ProcessPendingMessages();

  bool succeeded = false;
  std::exception_ptr failure;
  try {
    succeeded = encodeAndSend(fileName);
  } catch (...) {
    failure = std::current_exception();
  }

  if (succeeded) {
    state_.formVars.clear();
    SetProgressPosition(*this, 100);
    ShowProgressLabel(*this, state_.statusTexts[3] + L".");
    ProcessPendingMessages();
    waitServingMessages(kCompleteShownMs);
  }
  events_.raise(FormEvent::FinishUpload);
  state_.uploadInProgress = false;
  SetCursor(LoadCursorW(nullptr, IDC_ARROW));
  show("pbrUpload", false);
  show("lblProgress", false);
  enable("btnAcquire", acquireWasEnabled);
  for (const char* name : kBusyButtons) enable(name, true);
  enable("btnAbort", false);
  if (failure) std::rethrow_exception(failure);
}

// Steps from the encoding to the server's answer; true when the whole file
// went out and the server answered 200.
bool TTwainForm::encodeAndSend(const std::string& fileName) {
  std::optional<UrlParts> url;
  UrlParts parts;
  if (CrackURL(ansiFromWide(state_.uploadUrl), parts)) url = parts;
  // Before anything is encoded or any connection made.
  if (std::optional<std::string> refused = RefusedServedUpload(state_.page, url)) {
    state_.uploadStatus = 0;
    state_.uploadReturnString.clear();
    throw std::runtime_error(*refused);
  }

  const int format = ResolveFileFormat(*this);
  // The encoded file goes to a temporary file of the user's, from which the
  // request body is read piece by piece as it is sent.
  std::unique_ptr<IPageFile> spool = OpenTempPageFile();
  if (!spool) throw std::runtime_error("No temporary file for the upload could be created");
  TPageFileSink sink(*spool);
  switch (EncodePages(*this, sink, OutputHoldsAllPages(*this, format), format, state_.currentPage)) {
    case EncodeOutcome::Written:
    case EncodeOutcome::NoPage: break;
    case EncodeOutcome::Aborted:
      // Aborted between pages: no connection is made for a file cut short.
      state_.uploadStatus = kStatusAborted;
      return false;
    case EncodeOutcome::PageUnreadable: throw std::runtime_error("A page could not be read back; nothing was sent");
  }
  TPageFileUploadData file(*spool, sink.Size());
  if (state_.maxUploadSize > 0 && file.Size() > static_cast<std::uint64_t>(state_.maxUploadSize)) {
    state_.uploadStatus = kStatusTooLarge;
    return false;
  }

  UploadRequestSettings settings;
  settings.username = ansiFromWide(state_.username);
  settings.password = ansiFromWide(state_.password);
  settings.authenticationType = state_.authenticationType;
  settings.timeoutSeconds = state_.uploadTimeout;
  settings.fileName = fileName;
  settings.fieldName = ansiFromWide(state_.formTagName);
  settings.format = format;
  settings.registeredContentType = RegistryContentType;
  settings.uploadingText = state_.statusTexts[2];

  UploadMemory memory;
  memory.status = state_.uploadStatus;
  memory.effective = {state_.effectiveUser, state_.effectivePassword};
  memory.host = state_.uploadHost;
  memory.returnString = ansiFromWide(state_.uploadReturnString);
  FormUploadUi ui(*this);
  WinInetClient client(TransportOptionsFor(state_.page));
  const bool succeeded = TransferUpload(client, ui, memory, url, settings, file, state_.formVars);
  state_.uploadStatus = memory.status;
  state_.effectiveUser = memory.effective.user;
  state_.effectivePassword = memory.effective.password;
  state_.uploadHost = memory.host;
  state_.uploadReturnString = wideFromAnsi(memory.returnString);
  return succeeded;
}

}  // namespace pagewell
