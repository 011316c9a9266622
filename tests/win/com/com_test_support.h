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

}  // namespace comtest
