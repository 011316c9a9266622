#include "com_test_support.h"

namespace comtest {

std::wstring dllPath() {
  std::string path = PAGEWELL_DLL_PATH;
  return std::wstring(path.begin(), path.end());
}

ProcessResult runProcess(const std::wstring& commandLine) {
  SECURITY_ATTRIBUTES inherit{sizeof inherit, nullptr, TRUE};
  HANDLE readEnd = nullptr, writeEnd = nullptr;
  CreatePipe(&readEnd, &writeEnd, &inherit, 0);
  SetHandleInformation(readEnd, HANDLE_FLAG_INHERIT, 0);
  STARTUPINFOW startup{};
  startup.cb = sizeof startup;
  startup.dwFlags = STARTF_USESTDHANDLES;
  startup.hStdOutput = writeEnd;
  startup.hStdError = writeEnd;
  startup.hStdInput = GetStdHandle(STD_INPUT_HANDLE);
  PROCESS_INFORMATION process{};
  std::wstring line = commandLine;
  ProcessResult result;
  if (!CreateProcessW(nullptr, line.data(), nullptr, nullptr, TRUE, 0, nullptr, nullptr, &startup, &process)) {
    CloseHandle(readEnd);
    CloseHandle(writeEnd);
    result.exitCode = 0xFFFFFFFF;
    return result;
  }
  CloseHandle(writeEnd);
  char buffer[4096];
  DWORD got = 0;
  while (ReadFile(readEnd, buffer, sizeof buffer, &got, nullptr) && got > 0) result.output.append(buffer, got);
  CloseHandle(readEnd);
  WaitForSingleObject(process.hProcess, INFINITE);
  GetExitCodeProcess(process.hProcess, &result.exitCode);
  CloseHandle(process.hProcess);
  CloseHandle(process.hThread);
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

}  // namespace comtest
