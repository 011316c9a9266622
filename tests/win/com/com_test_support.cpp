#include "com_test_support.h"

namespace comtest {

std::wstring dllPath() {
  std::string path = PAGEWELL_DLL_PATH;
  return std::wstring(path.begin(), path.end());
}

// The child writes into a temporary file rather than a pipe: a process the
// child starts in passing (Wine brings up its services on first use) may
// inherit the write end and keep a pipe open long after the child is gone.
// The wait is bounded so that a hanging child fails the test instead of
// stalling the whole run.
ProcessResult runProcess(const std::wstring& commandLine) {
  wchar_t folder[MAX_PATH] = {};
  wchar_t outputPath[MAX_PATH] = {};
  GetTempPathW(MAX_PATH, folder);
  GetTempFileNameW(folder, L"pw", 0, outputPath);
  SECURITY_ATTRIBUTES inherit{sizeof inherit, nullptr, TRUE};
  HANDLE output = CreateFileW(outputPath, GENERIC_WRITE, FILE_SHARE_READ | FILE_SHARE_WRITE, &inherit,
                              CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
  ProcessResult result;
  result.exitCode = 0xFFFFFFFF;
  if (output == INVALID_HANDLE_VALUE) return result;
  STARTUPINFOW startup{};
  startup.cb = sizeof startup;
  startup.dwFlags = STARTF_USESTDHANDLES;
  startup.hStdOutput = output;
  startup.hStdError = output;
  startup.hStdInput = GetStdHandle(STD_INPUT_HANDLE);
  PROCESS_INFORMATION process{};
  std::wstring line = commandLine;
  if (CreateProcessW(nullptr, line.data(), nullptr, nullptr, TRUE, 0, nullptr, nullptr, &startup, &process)) {
    if (WaitForSingleObject(process.hProcess, 60000) == WAIT_OBJECT_0) {
      GetExitCodeProcess(process.hProcess, &result.exitCode);
    } else {
      TerminateProcess(process.hProcess, 1);
      result.output = "[no exit within 60 s] ";
    }
    CloseHandle(process.hProcess);
    CloseHandle(process.hThread);
  }
  CloseHandle(output);
  HANDLE input = CreateFileW(outputPath, GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr, OPEN_EXISTING,
                             FILE_ATTRIBUTE_NORMAL, nullptr);
  if (input != INVALID_HANDLE_VALUE) {
    char buffer[4096];
    DWORD got = 0;
    while (ReadFile(input, buffer, sizeof buffer, &got, nullptr) && got > 0) result.output.append(buffer, got);
    CloseHandle(input);
  }
  DeleteFileW(outputPath);
  return result;
}

namespace {

HRESULT invokeByName(IDispatch* object, const wchar_t* name, WORD flags, DISPPARAMS& params, VARIANT* result,
                     EXCEPINFO* exception) {
  LPOLESTR names[] = {const_cast<LPOLESTR>(name)};
  DISPID id = DISPID_UNKNOWN;
  HRESULT hr = object->GetIDsOfNames(IID_NULL, names, 1, LOCALE_USER_DEFAULT, &id);
  if (FAILED(hr)) return hr;
  EXCEPINFO local{};
  UINT argError = 0;
  hr = object->Invoke(id, IID_NULL, LOCALE_USER_DEFAULT, flags, &params, result, exception ? exception : &local,
                      &argError);
  if (!exception) clearException(local);
  return hr;
}

}  // namespace

HRESULT getProperty(IDispatch* object, const wchar_t* name, VARIANT* result, EXCEPINFO* exception) {
  DISPPARAMS none{nullptr, nullptr, 0, 0};
  return invokeByName(object, name, DISPATCH_PROPERTYGET, none, result, exception);
}

HRESULT putProperty(IDispatch* object, const wchar_t* name, const VARIANT& value, EXCEPINFO* exception) {
  VARIANT argument = value;
  DISPID named = DISPID_PROPERTYPUT;
  DISPPARAMS params{&argument, &named, 1, 1};
  return invokeByName(object, name, DISPATCH_PROPERTYPUT, params, nullptr, exception);
}

HRESULT callMethod(IDispatch* object, const wchar_t* name, std::vector<VARIANT> arguments, VARIANT* result,
                   EXCEPINFO* exception) {
  std::vector<VARIANT> reversed(arguments.rbegin(), arguments.rend());
  DISPPARAMS params{reversed.data(), nullptr, static_cast<UINT>(reversed.size()), 0};
  return invokeByName(object, name, DISPATCH_METHOD, params, result, exception);
}

VARIANT longValue(long value) {
  VARIANT v;
  VariantInit(&v);
  v.vt = VT_I4;
  v.lVal = value;
  return v;
}

VARIANT boolValue(bool value) {
  VARIANT v;
  VariantInit(&v);
  v.vt = VT_BOOL;
  v.boolVal = value ? VARIANT_TRUE : VARIANT_FALSE;
  return v;
}

VARIANT textValue(const Bstr& text) {
  VARIANT v;
  VariantInit(&v);
  v.vt = VT_BSTR;
  v.bstrVal = text.get();
  return v;
}

void clearException(EXCEPINFO& exception) {
  SysFreeString(exception.bstrSource);
  SysFreeString(exception.bstrDescription);
  SysFreeString(exception.bstrHelpFile);
  exception = EXCEPINFO{};
}

HWND controlWindow(IDispatch* control) {
  HWND window = nullptr;
  ComPtr<IOleWindow> ole;
  if (control && control->QueryInterface(IID_IOleWindow, ole.put_void()) == S_OK) ole->GetWindow(&window);
  return window;
}

namespace {

struct ChildSearch {
  const std::wstring* caption;
  const wchar_t* className;
  HWND found;
};

// A named callback: a lambda has the wrong calling convention on i686.
BOOL CALLBACK matchChild(HWND child, LPARAM context) {
  auto* search = reinterpret_cast<ChildSearch*>(context);
  wchar_t text[256] = {}, className[64] = {};
  GetWindowTextW(child, text, 256);
  if (*search->caption != text) return TRUE;
  if (search->className) {
    GetClassNameW(child, className, 64);
    if (lstrcmpiW(className, search->className) != 0) return TRUE;
  }
  search->found = child;
  return FALSE;
}

}  // namespace

HWND findChildWindow(HWND parent, const std::wstring& caption, const wchar_t* className) {
  ChildSearch search{&caption, className, nullptr};
  EnumChildWindows(parent, matchChild, reinterpret_cast<LPARAM>(&search));
  return search.found;
}

}  // namespace comtest
