#pragma once
// The script's global `Host`: output, exit, waiting, arguments, clicking
// the control's buttons, posted mouse drags, the texts set on labels, the
// places of windows, screenshots, the dialogs the host dismissed, the
// questions about the page's site it answered and more controls in the page.
#include <oaidl.h>

#include <string>
#include <vector>

#include "dialog_dismisser.h"
#include "more_controls.h"

namespace pagehost {

class HostObject final : public IDispatch {
 public:
  HostObject(HWND window, std::vector<std::wstring> arguments, DialogDismisser& dialogs, MoreControls& controls)
      : window_(window), arguments_(std::move(arguments)), dialogs_(dialogs), controls_(controls) {}

  HRESULT STDMETHODCALLTYPE QueryInterface(REFIID iid, void** out) override;
  // Lives as long as the host; references are not counted.
  ULONG STDMETHODCALLTYPE AddRef() override { return 2; }
  ULONG STDMETHODCALLTYPE Release() override { return 1; }
  HRESULT STDMETHODCALLTYPE GetTypeInfoCount(UINT* count) override;
  HRESULT STDMETHODCALLTYPE GetTypeInfo(UINT, LCID, ITypeInfo** out) override;
  HRESULT STDMETHODCALLTYPE GetIDsOfNames(REFIID, LPOLESTR* names, UINT count, LCID,
                                          DISPID* ids) override;
  HRESULT STDMETHODCALLTYPE Invoke(DISPID id, REFIID, LCID, WORD flags, DISPPARAMS* params,
                                   VARIANT* result, EXCEPINFO* exception, UINT*) override;

 private:
  HWND window_;
  std::vector<std::wstring> arguments_;
  DialogDismisser& dialogs_;
  MoreControls& controls_;
};

// Pumps this thread's messages for `milliseconds`.
void pumpMessages(DWORD milliseconds);
// Ends the program at once with `code`, output flushed.
[[noreturn]] void quitHost(int code);
// Writes a line to stdout (UTF-8) or stderr.
void printLine(const std::wstring& text, bool toStderr = false);

}  // namespace pagehost
