#include "script_host.h"

#include "com/bstr.h"
#include "com/variant.h"
#include "host_object.h"

namespace pagehost {

using pagewell::Bstr;
using pagewell::ComPtr;
using pagewell::Variant;

namespace {

// mingw's uuid library lacks it; the values are the published ones. The
// interface has its own identity for each pointer width.
#ifdef _WIN64
const IID kIActiveScriptParse = {0xc7ef7658, 0xe1ee, 0x480e, {0x97, 0xea, 0xd5, 0x2c, 0xb4, 0xd7, 0x6d, 0x17}};
#else
const IID kIActiveScriptParse = {0xbb1a2ae2, 0xa4f9, 0x11cf, {0x8f, 0x20, 0x00, 0x80, 0x5f, 0x2c, 0xd0, 0x64}};
#endif

// Script errors end the run: the line (1-based) and the engine's message.
[[noreturn]] void scriptError(long line, const std::wstring& message) {
  printLine(L"script error: " + std::to_wstring(line) + L": " + message, true);
  quitHost(3);
}

std::wstring describe(EXCEPINFO& exception) {
  if (exception.pfnDeferredFillIn) exception.pfnDeferredFillIn(&exception);
  std::wstring message(Bstr::viewOf(exception.bstrDescription));
  SysFreeString(exception.bstrSource);
  SysFreeString(exception.bstrDescription);
  SysFreeString(exception.bstrHelpFile);
  exception = EXCEPINFO{};
  return message;
}

bool isNumber(VARTYPE type) {
  switch (type) {
    case VT_I1: case VT_I2: case VT_I4: case VT_I8: case VT_INT:
    case VT_UI1: case VT_UI2: case VT_UI4: case VT_UI8: case VT_UINT:
    case VT_R4: case VT_R8:
      return true;
  }
  return false;
}

}  // namespace

ScriptHost::ScriptHost(HWND window, IDispatch* control, IDispatch* host)
    : window_(window), control_(control), host_(host) {
  // The names of the events come from the control's own class information.
  auto classInfo = control_.query<IProvideClassInfo2>(IID_IProvideClassInfo2);
  GUID eventsIid{};
  ComPtr<ITypeInfo> coclass;
  ComPtr<ITypeLib> library;
  UINT index = 0;
  if (classInfo && SUCCEEDED(classInfo->GetGUID(GUIDKIND_DEFAULT_SOURCE_DISP_IID, &eventsIid)) &&
      SUCCEEDED(classInfo->GetClassInfo(coclass.put())) &&
      SUCCEEDED(coclass->GetContainingTypeLib(library.put(), &index)))
    library->GetTypeInfoOfGuid(eventsIid, events_.put());
}

bool ScriptHost::run(const std::wstring& language, const std::wstring& code) {
  CLSID engineClass;
  if (FAILED(CLSIDFromProgID(language.c_str(), &engineClass))) return false;
  if (FAILED(CoCreateInstance(engineClass, nullptr, CLSCTX_INPROC_SERVER, IID_IActiveScript,
                              engine_.put_void())))
    return false;
  auto parser = engine_.query<IActiveScriptParse>(kIActiveScriptParse);
  if (!parser || FAILED(engine_->SetScriptSite(static_cast<IActiveScriptSite*>(this))) ||
      FAILED(parser->InitNew()))
    return false;
  engine_->AddNamedItem(L"TwainForm", SCRIPTITEM_ISVISIBLE);
  engine_->AddNamedItem(L"Host", SCRIPTITEM_ISVISIBLE);
  EXCEPINFO exception{};
  HRESULT hr = parser->ParseScriptText(code.c_str(), nullptr, nullptr, nullptr, 0, 0, 0, nullptr,
                                       &exception);
  if (FAILED(hr)) return false;
  engine_->GetScriptDispatch(nullptr, scriptGlobals_.put());
  hr = engine_->SetScriptState(SCRIPTSTATE_CONNECTED);
  return SUCCEEDED(hr);
}

void ScriptHost::close() {
  scriptGlobals_.reset();
  if (engine_) engine_->Close();
  engine_.reset();
}

HRESULT ScriptHost::QueryInterface(REFIID iid, void** out) {
  if (!out) return E_POINTER;
  *out = nullptr;
  if (iid == IID_IUnknown || iid == IID_IActiveScriptSite)
    *out = static_cast<IActiveScriptSite*>(this);
  else if (iid == IID_IActiveScriptSiteWindow)
    *out = static_cast<IActiveScriptSiteWindow*>(this);
  else if (iid == IID_IDispatch)
    *out = static_cast<IDispatch*>(this);
  else
    return E_NOINTERFACE;
  return S_OK;
}

HRESULT ScriptHost::GetLCID(LCID* out) {
  if (!out) return E_POINTER;
  *out = LOCALE_USER_DEFAULT;
  return S_OK;
}

HRESULT ScriptHost::GetItemInfo(LPCOLESTR name, DWORD mask, IUnknown** item, ITypeInfo** info) {
  if (item) *item = nullptr;
  if (info) *info = nullptr;
  IDispatch* object = nullptr;
  if (lstrcmpW(name, L"TwainForm") == 0) object = control_.get();
  if (lstrcmpW(name, L"Host") == 0) object = host_.get();
  if (!object) return TYPE_E_ELEMENTNOTFOUND;
  if ((mask & SCRIPTINFO_IUNKNOWN) && item) {
    *item = object;
    object->AddRef();
  }
  if ((mask & SCRIPTINFO_ITYPEINFO) && info) object->GetTypeInfo(0, LOCALE_USER_DEFAULT, info);
  return S_OK;
}

HRESULT ScriptHost::GetDocVersionString(BSTR* out) {
  if (out) *out = nullptr;
  return E_NOTIMPL;
}

HRESULT ScriptHost::OnScriptError(IActiveScriptError* error) {
  DWORD context = 0;
  ULONG line = 0;
  LONG column = 0;
  error->GetSourcePosition(&context, &line, &column);
  EXCEPINFO exception{};
  error->GetExceptionInfo(&exception);
  scriptError(static_cast<long>(line) + 1, describe(exception));
}

HRESULT ScriptHost::GetWindow(HWND* out) {
  if (!out) return E_POINTER;
  *out = window_;
  return S_OK;
}

HRESULT ScriptHost::GetTypeInfoCount(UINT* count) {
  if (!count) return E_POINTER;
  *count = 0;
  return S_OK;
}

HRESULT ScriptHost::GetTypeInfo(UINT, LCID, ITypeInfo** out) {
  if (out) *out = nullptr;
  return DISP_E_BADINDEX;
}

HRESULT ScriptHost::GetIDsOfNames(REFIID, LPOLESTR*, UINT, LCID, DISPID*) { return DISP_E_UNKNOWNNAME; }

std::wstring ScriptHost::eventName(DISPID id) {
  if (!events_) return {};
  Bstr name;
  UINT count = 0;
  if (FAILED(events_->GetNames(id, name.put(), 1, &count)) || count == 0) return {};
  return std::wstring(name.view());
}

// An event: call TwainForm_<EventName> if the script has one. Scripts take
// no by-reference arguments, so the key of OnKeyPress goes by value and the
// handler's numeric return value becomes the new key.
HRESULT ScriptHost::Invoke(DISPID id, REFIID, LCID, WORD, DISPPARAMS* params, VARIANT*, EXCEPINFO*,
                           UINT*) {
  if (!scriptGlobals_ || !params) return S_OK;
  std::wstring handler = L"TwainForm_" + eventName(id);
  LPOLESTR names[] = {handler.data()};
  DISPID handlerId = DISPID_UNKNOWN;
  if (FAILED(scriptGlobals_->GetIDsOfNames(IID_NULL, names, 1, LOCALE_USER_DEFAULT, &handlerId)))
    return S_OK;
  VARIANT* key = nullptr;
  VARIANT value;
  VariantInit(&value);
  DISPPARAMS call{nullptr, nullptr, 0, 0};
  if (params->cArgs == 1 && params->rgvarg[0].vt == (VT_I2 | VT_BYREF)) {
    key = &params->rgvarg[0];
    value.vt = VT_I4;
    value.lVal = *key->piVal;
    call = {&value, nullptr, 1, 0};
  }
  Variant result;
  EXCEPINFO exception{};
  HRESULT hr = scriptGlobals_->Invoke(handlerId, IID_NULL, LOCALE_USER_DEFAULT, DISPATCH_METHOD, &call,
                                      result.put(), &exception, nullptr);
  if (FAILED(hr)) scriptError(0, L"in " + handler + L": " + describe(exception));
  Variant newKey;
  if (key && isNumber(result.get()->vt) &&
      SUCCEEDED(VariantChangeType(newKey.get(), result.get(), 0, VT_I2)))
    *key->piVal = newKey.get()->iVal;
  return S_OK;
}

}  // namespace pagehost
