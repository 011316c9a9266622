#include "com/registration.h"

#include <comcat.h>
#include <objsafe.h>
#include <olectl.h>

#include <string>

#include "com/error_boundary.h"
#include "com/module.h"
#include "com/pagewell_h.h"
#include "com/registry_key.h"
#include "com/type_library.h"

namespace pagewell {
namespace {

const wchar_t kProgId[] = L"Pagewell.TwainForm";
const wchar_t kDescription[] = L"Pagewell Control";
const wchar_t kVersion[] = L"1.3";
// OLEMISC_SIMPLEFRAME | OLEMISC_ACTSLIKELABEL
const wchar_t kMiscStatus[] = L"73728";
const WORD kMajor = 1, kMinor = 3;
const LCID kLocale = 0x0409;

std::wstring guidText(REFGUID guid) {
  wchar_t text[40] = {};
  StringFromGUID2(guid, text, 40);
  return text;
}

std::wstring classKeyPath() { return L"CLSID\\" + guidText(CLSID_TwainForm); }

void writeKey(const std::wstring& path, const std::wstring& value) {
  RegistryKey::create(HKEY_CLASSES_ROOT, path).setString(nullptr, value);
}

void registerClass() {
  const std::wstring classKey = classKeyPath();
  const std::wstring path = modulePath();
  writeKey(classKey, kDescription);
  RegistryKey server = RegistryKey::create(HKEY_CLASSES_ROOT, classKey + L"\\InprocServer32");
  server.setString(nullptr, path);
  server.setString(L"ThreadingModel", L"Apartment");
  writeKey(classKey + L"\\ProgID", kProgId);
  writeKey(classKey + L"\\VersionIndependentProgID", kProgId);
  writeKey(classKey + L"\\Control", L"");
  writeKey(classKey + L"\\MiscStatus", kMiscStatus);
  writeKey(classKey + L"\\MiscStatus\\1", kMiscStatus);
  writeKey(classKey + L"\\ToolboxBitmap32", path + L",1");
  writeKey(classKey + L"\\TypeLib", guidText(LIBID_Pagewell));
  writeKey(classKey + L"\\Version", kVersion);
  const GUID* const categories[] = {&CATID_Control, &CATID_SafeForScripting, &CATID_SafeForInitializing};
  for (const GUID* category : categories)
    writeKey(classKey + L"\\Implemented Categories\\" + guidText(*category), L"");
  writeKey(kProgId, kDescription);
  writeKey(std::wstring(kProgId) + L"\\CLSID", guidText(CLSID_TwainForm));
}

void registerTypeLibrary() {
  std::wstring path = modulePath();
  HRESULT hr = RegisterTypeLib(loadTypeLibrary().get(), path.data(), nullptr);
  if (FAILED(hr)) throw ComError(hr, "The type library could not be registered");
}

// Missing keys are not an error: unregistering twice must succeed.
void deleteTree(const std::wstring& path) {
  LONG rc = RegDeleteTreeW(HKEY_CLASSES_ROOT, path.c_str());
  if (rc != ERROR_SUCCESS && rc != ERROR_FILE_NOT_FOUND)
    throw ComError(HRESULT_FROM_WIN32(rc), "A registry key could not be removed");
  RegDeleteKeyW(HKEY_CLASSES_ROOT, path.c_str());
}

}  // namespace

HRESULT registerServer() {
  HRESULT hr = guarded([] {
    registerClass();
    registerTypeLibrary();
  });
  return FAILED(hr) ? SELFREG_E_CLASS : S_OK;
}

HRESULT unregisterServer() {
  HRESULT hr = guarded([] {
    deleteTree(classKeyPath());
    deleteTree(kProgId);
#ifdef _WIN64
    UnRegisterTypeLib(LIBID_Pagewell, kMajor, kMinor, kLocale, SYS_WIN64);
#else
    UnRegisterTypeLib(LIBID_Pagewell, kMajor, kMinor, kLocale, SYS_WIN32);
#endif
  });
  return FAILED(hr) ? SELFREG_E_CLASS : S_OK;
}

}  // namespace pagewell
