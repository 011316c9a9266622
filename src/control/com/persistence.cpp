// Persistence and safety. The control keeps nothing between runs, so the
// stream form is empty; the property bag is how <param> tags in the page's
// <object> element set members of the same name.
#include <objsafe.h>

#include "com/bstr.h"
#include "com/control_object.h"
#include "com/variant.h"

namespace pagewell {
namespace {

constexpr DWORD kSafeOptions = INTERFACESAFE_FOR_UNTRUSTED_CALLER | INTERFACESAFE_FOR_UNTRUSTED_DATA;

bool isSafeInterface(REFIID iid) {
  return iid == IID_IDispatch || iid == IID_ITwainForm || iid == IID_IPersistPropertyBag ||
         iid == IID_IPersistStreamInit;
}

}  // namespace

HRESULT TwainFormControl::GetClassID(CLSID* out) {
  if (!out) return E_POINTER;
  *out = CLSID_TwainForm;
  return S_OK;
}

HRESULT TwainFormControl::IsDirty() { return S_FALSE; }
HRESULT TwainFormControl::Load(LPSTREAM) { return S_OK; }
HRESULT TwainFormControl::Save(LPSTREAM, BOOL) { return S_OK; }

HRESULT TwainFormControl::GetSizeMax(ULARGE_INTEGER* size) {
  if (!size) return E_POINTER;
  size->QuadPart = 0;
  return S_OK;
}

HRESULT TwainFormControl::InitNew() { return S_OK; }

// Every writable member is offered to the bag by name; a value the bag has
// goes through Invoke, so it gets the member's own coercion and range rules.
// A value that does not fit is skipped: one bad <param> spoils nothing else.
HRESULT TwainFormControl::Load(IPropertyBag* bag, IErrorLog* log) {
  if (!bag) return E_POINTER;
  TYPEATTR* attributes = nullptr;
  if (FAILED(typeInfo_->GetTypeAttr(&attributes))) return E_FAIL;
  WORD functions = attributes->cFuncs;
  typeInfo_->ReleaseTypeAttr(attributes);
  for (UINT i = 0; i < functions; ++i) {
    FUNCDESC* function = nullptr;
    if (FAILED(typeInfo_->GetFuncDesc(i, &function))) continue;
    if (function->invkind == INVOKE_PROPERTYPUT && function->cParams == 1)
      loadProperty(bag, log, typeInfo_.get(), *function);
    typeInfo_->ReleaseFuncDesc(function);
  }
  return S_OK;
}

void TwainFormControl::loadProperty(IPropertyBag* bag, IErrorLog* log, ITypeInfo* info,
                                    const FUNCDESC& function) {
  Bstr name;
  if (FAILED(info->GetDocumentation(function.memid, name.put(), nullptr, nullptr, nullptr))) return;
  Variant value;
  if (bag->Read(name.get(), value.put(), log) != S_OK || value.get()->vt == VT_EMPTY) return;
  DISPID named = DISPID_PROPERTYPUT;
  DISPPARAMS params{value.get(), &named, 1, 1};
  Invoke(function.memid, IID_NULL, LOCALE_USER_DEFAULT, DISPATCH_PROPERTYPUT, &params, nullptr, nullptr,
         nullptr);
}

HRESULT TwainFormControl::Save(IPropertyBag*, BOOL, BOOL) { return S_OK; }

HRESULT TwainFormControl::GetInterfaceSafetyOptions(REFIID iid, DWORD* supported, DWORD* enabled) {
  if (!supported || !enabled) return E_POINTER;
  *supported = *enabled = 0;
  if (!isSafeInterface(iid)) return E_NOINTERFACE;
  // Safe for scripting and initialisation only where the site lock allows.
  if (siteLock_.refuses()) return S_OK;
  *supported = kSafeOptions;
  *enabled = safetyOptions_;
  return S_OK;
}

HRESULT TwainFormControl::SetInterfaceSafetyOptions(REFIID iid, DWORD mask, DWORD enabled) {
  if (!isSafeInterface(iid)) return E_NOINTERFACE;
  if (mask & ~kSafeOptions) return E_FAIL;
  if ((enabled & mask) != 0 && siteLock_.refuses()) return E_FAIL;
  safetyOptions_ = (safetyOptions_ & ~mask) | (enabled & mask);
  return S_OK;
}

}  // namespace pagewell
