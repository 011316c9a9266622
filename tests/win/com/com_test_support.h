#pragma once
// Shared by the COM tests: the DLL under test, child processes, and calls
// through IDispatch by name.
#include <windows.h>
#include <oleauto.h>

#include <string>
#include <vector>

#include "com/bstr.h"
#include "com/com_ptr.h"
#include "com/variant.h"

namespace comtest {

using pagewell::Bstr;
using pagewell::ComPtr;
using pagewell::Variant;

// Windows path of Pagewell.dll (set by the build).
std::wstring dllPath();

struct ProcessResult {
  DWORD exitCode = 0;
  std::string output;
};
// Runs a command line, waits, and collects its standard output.
ProcessResult runProcess(const std::wstring& commandLine);

// Calls through IDispatch by member name.
HRESULT getProperty(IDispatch* object, const wchar_t* name, VARIANT* result, EXCEPINFO* exception = nullptr);
HRESULT putProperty(IDispatch* object, const wchar_t* name, const VARIANT& value,
                    EXCEPINFO* exception = nullptr);
HRESULT callMethod(IDispatch* object, const wchar_t* name, std::vector<VARIANT> arguments,
                   VARIANT* result, EXCEPINFO* exception = nullptr);

VARIANT longValue(long value);
VARIANT boolValue(bool value);
// The BSTR stays owned by `text`.
VARIANT textValue(const Bstr& text);

void clearException(EXCEPINFO& exception);

// The IUnknown side of a test's own IDispatch object, which lives on the
// stack or in a global: references are counted, so a test can see that the
// control released it, but nothing is ever deleted.
class StackDispatch : public IDispatch {
 public:
  HRESULT STDMETHODCALLTYPE QueryInterface(REFIID iid, void** out) override {
    if (!out) return E_POINTER;
    *out = nullptr;
    if (iid != IID_IUnknown && iid != IID_IDispatch) return E_NOINTERFACE;
    *out = static_cast<IDispatch*>(this);
    AddRef();
    return S_OK;
  }
  ULONG STDMETHODCALLTYPE AddRef() override { return ++references; }
  ULONG STDMETHODCALLTYPE Release() override { return --references; }
  HRESULT STDMETHODCALLTYPE GetTypeInfoCount(UINT* count) override {
    *count = 0;
    return S_OK;
  }
  HRESULT STDMETHODCALLTYPE GetTypeInfo(UINT, LCID, ITypeInfo**) override { return E_NOTIMPL; }

  long references = 0;
};

// The control's own window, through IOleWindow; null when it has none.
HWND controlWindow(IDispatch* control);
// The first child window of `parent` (at any depth) with exactly this
// caption and, when `className` is given, of that window class.
HWND findChildWindow(HWND parent, const std::wstring& caption, const wchar_t* className = nullptr);

}  // namespace comtest
