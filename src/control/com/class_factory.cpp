#include "com/class_factory.h"

#include "com/control_object.h"
#include "com/error_boundary.h"
#include "com/module.h"

namespace pagewell {

ClassFactory::ClassFactory() { objectCreated(); }
ClassFactory::~ClassFactory() { objectDestroyed(); }

HRESULT ClassFactory::QueryInterface(REFIID iid, void** out) {
  if (!out) return E_POINTER;
  if (iid == IID_IUnknown || iid == IID_IClassFactory) {
    *out = static_cast<IClassFactory*>(this);
    AddRef();
    return S_OK;
  }
  *out = nullptr;
  return E_NOINTERFACE;
}

ULONG ClassFactory::AddRef() { return InterlockedIncrement(&references_); }

ULONG ClassFactory::Release() {
  ULONG count = InterlockedDecrement(&references_);
  if (count == 0) delete this;
  return count;
}

HRESULT ClassFactory::CreateInstance(IUnknown* outer, REFIID iid, void** out) {
  if (!out) return E_POINTER;
  *out = nullptr;
  if (outer) return CLASS_E_NOAGGREGATION;
  return guarded([&] {
    HRESULT hr = createControlObject(iid, out);
    if (FAILED(hr)) throw ComError(hr, "The control could not be created");
  });
}

HRESULT ClassFactory::LockServer(BOOL lock) {
  if (lock)
    lockModule();
  else
    unlockModule();
  return S_OK;
}

}  // namespace pagewell
