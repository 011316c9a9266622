#pragma once
// Runs one page script through Wine's JScript or VBScript engine with the
// globals `TwainForm` and `Host`, and calls the script's event handlers
// (TwainForm_<EventName>) when the control raises an event.
#include <activscp.h>

#include <string>

#include "com/com_ptr.h"

namespace pagehost {

class ScriptHost final : public IActiveScriptSite, public IActiveScriptSiteWindow, public IDispatch {
 public:
  ScriptHost(HWND window, IDispatch* control, IDispatch* host);

  // Runs the script's top level; false after a script error.
  bool run(const std::wstring& language, const std::wstring& code);
  // Releases the engine (the script's handlers are gone afterwards).
  void close();

  HRESULT STDMETHODCALLTYPE QueryInterface(REFIID iid, void** out) override;
  // Lives as long as the host; references are not counted.
  ULONG STDMETHODCALLTYPE AddRef() override { return 2; }
  ULONG STDMETHODCALLTYPE Release() override { return 1; }

  // IActiveScriptSite
  HRESULT STDMETHODCALLTYPE GetLCID(LCID* out) override;
  HRESULT STDMETHODCALLTYPE GetItemInfo(LPCOLESTR name, DWORD mask, IUnknown** item,
                                        ITypeInfo** info) override;
  HRESULT STDMETHODCALLTYPE GetDocVersionString(BSTR* out) override;
  HRESULT STDMETHODCALLTYPE OnScriptTerminate(const VARIANT*, const EXCEPINFO*) override { return S_OK; }
  HRESULT STDMETHODCALLTYPE OnStateChange(SCRIPTSTATE) override { return S_OK; }
  HRESULT STDMETHODCALLTYPE OnScriptError(IActiveScriptError* error) override;
  HRESULT STDMETHODCALLTYPE OnEnterScript() override { return S_OK; }
  HRESULT STDMETHODCALLTYPE OnLeaveScript() override { return S_OK; }

  // IActiveScriptSiteWindow
  HRESULT STDMETHODCALLTYPE GetWindow(HWND* out) override;
  HRESULT STDMETHODCALLTYPE EnableModeless(BOOL) override { return S_OK; }

  // IDispatch: the event sink connected to the control.
  HRESULT STDMETHODCALLTYPE GetTypeInfoCount(UINT* count) override;
  HRESULT STDMETHODCALLTYPE GetTypeInfo(UINT, LCID, ITypeInfo** out) override;
  HRESULT STDMETHODCALLTYPE GetIDsOfNames(REFIID, LPOLESTR*, UINT, LCID, DISPID*) override;
  HRESULT STDMETHODCALLTYPE Invoke(DISPID id, REFIID, LCID, WORD, DISPPARAMS* params, VARIANT*,
                                   EXCEPINFO*, UINT*) override;

 private:
  std::wstring eventName(DISPID id);

  HWND window_;
  pagewell::ComPtr<IDispatch> control_;
  pagewell::ComPtr<IDispatch> host_;
  pagewell::ComPtr<IActiveScript> engine_;
  pagewell::ComPtr<IDispatch> scriptGlobals_;
  pagewell::ComPtr<ITypeInfo> events_;
};

}  // namespace pagehost
