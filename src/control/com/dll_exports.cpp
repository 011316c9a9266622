// The four entry points of an in-process COM server.
#include <windows.h>

#include <new>

#include "com/class_factory.h"
#include "com/module.h"
#include "com/pagewell_h.h"
#include "com/registration.h"

extern "C" HRESULT WINAPI DllGetClassObject(REFCLSID clsid, REFIID iid, void** out) {
  if (!out) return E_POINTER;
  *out = nullptr;
  if (clsid != CLSID_TwainForm) return CLASS_E_CLASSNOTAVAILABLE;
  auto* factory = new (std::nothrow) pagewell::ClassFactory();
  if (!factory) return E_OUTOFMEMORY;
  HRESULT hr = factory->QueryInterface(iid, out);
  factory->Release();
  return hr;
}

extern "C" HRESULT WINAPI DllCanUnloadNow() {
  return pagewell::moduleInUse() ? S_FALSE : S_OK;
}

extern "C" HRESULT WINAPI DllRegisterServer() { return pagewell::registerServer(); }

extern "C" HRESULT WINAPI DllUnregisterServer() { return pagewell::unregisterServer(); }
