#include "com/control_object.h"

#include <new>

#include "com/error_boundary.h"
#include "com/module.h"
#include "com/service_bridge.h"
#include "com/type_library.h"
#include "twain_form.h"

namespace pagewell {
namespace {

// The design size in HIMETRIC units (0.01 mm) at 96 pixels per inch.
SIZEL designExtent() {
  return {MulDiv(TTwainForm::kDesignWidth, 2540, 96), MulDiv(TTwainForm::kDesignHeight, 2540, 96)};
}

}  // namespace

HRESULT createControlObject(REFIID iid, void** out) {
  auto* control = new (std::nothrow) TwainFormControl();
  if (!control) return E_OUTOFMEMORY;
  HRESULT hr = control->QueryInterface(iid, out);
  control->Release();
  return hr;
}

TwainFormControl::TwainFormControl()
    : typeInfo_(typeInfoOf(IID_ITwainForm)),
      events_(*static_cast<IConnectionPointContainer*>(this), DIID_ITwainFormEvents),
      extent_(designExtent()) {
  // No device is touched before the site lock lets the control work.
  form_ = std::make_unique<TTwainForm>(static_cast<FormEventSink&>(*this));
  objectCreated();
}

TwainFormControl::~TwainFormControl() {
  // OnDestroy still reaches the sinks that are connected; a sink that takes
  // and drops a reference meanwhile must not start a second destruction.
  references_ = 1;
  deactivateInPlace();
  form_.reset();
  objectDestroyed();
}

HRESULT TwainFormControl::QueryInterface(REFIID iid, void** out) {
  if (!out) return E_POINTER;
  *out = nullptr;
  if (iid == IID_IUnknown || iid == IID_IDispatch || iid == IID_ITwainForm)
    *out = static_cast<ITwainForm*>(this);
  else if (iid == IID_IProvideClassInfo || iid == IID_IProvideClassInfo2)
    *out = static_cast<IProvideClassInfo2*>(this);
  else if (iid == IID_ISupportErrorInfo)
    *out = static_cast<ISupportErrorInfo*>(this);
  else if (iid == IID_IConnectionPointContainer)
    *out = static_cast<IConnectionPointContainer*>(this);
  else if (iid == IID_IOleObject)
    *out = static_cast<IOleObject*>(this);
  else if (iid == IID_IOleWindow || iid == IID_IOleInPlaceObject)
    *out = static_cast<IOleInPlaceObject*>(this);
  else if (iid == IID_IOleInPlaceActiveObject)
    *out = static_cast<IOleInPlaceActiveObject*>(this);
  else if (iid == IID_IOleControl)
    *out = static_cast<IOleControl*>(this);
  else if (iid == IID_IViewObject || iid == IID_IViewObject2)
    *out = static_cast<IViewObject2*>(this);
  else if (iid == IID_IPersist || iid == IID_IPersistStreamInit)
    *out = static_cast<IPersistStreamInit*>(this);
  else if (iid == IID_IPersistPropertyBag)
    *out = static_cast<IPersistPropertyBag*>(this);
  else if (iid == IID_IObjectSafety)
    *out = static_cast<IObjectSafety*>(this);
  else if (iid == IID_IObjectWithSite)
    *out = static_cast<IObjectWithSite*>(this);
  else if (iid == IID_IPagewellServiceBridge)
    return createServiceBridge(*form_, static_cast<ITwainForm*>(this), out);
  else
    return E_NOINTERFACE;
  AddRef();
  return S_OK;
}

ULONG TwainFormControl::AddRef() { return InterlockedIncrement(&references_); }

ULONG TwainFormControl::Release() {
  ULONG count = InterlockedDecrement(&references_);
  if (count == 0) delete this;
  return count;
}

// --- IDispatch through the type library ---------------------------------------

HRESULT TwainFormControl::GetTypeInfoCount(UINT* count) {
  if (!count) return E_POINTER;
  *count = 1;
  return S_OK;
}

HRESULT TwainFormControl::GetTypeInfo(UINT index, LCID, ITypeInfo** out) {
  if (!out) return E_POINTER;
  *out = nullptr;
  if (index != 0) return DISP_E_BADINDEX;
  *out = ComPtr<ITypeInfo>(typeInfo_).detach();
  return S_OK;
}

HRESULT TwainFormControl::GetIDsOfNames(REFIID iid, LPOLESTR* names, UINT count, LCID, DISPID* ids) {
  if (iid != IID_NULL) return DISP_E_UNKNOWNINTERFACE;
  if (!names || !ids) return E_POINTER;
  return DispGetIDsOfNames(typeInfo_.get(), names, count, ids);
}

HRESULT TwainFormControl::Invoke(DISPID id, REFIID iid, LCID, WORD flags, DISPPARAMS* params,
                                 VARIANT* result, EXCEPINFO* exception, UINT* argError) {
  if (iid != IID_NULL) return DISP_E_UNKNOWNINTERFACE;
  if (!params) return E_POINTER;
  // Scripts reach every member through here: in a page the site lock
  // refuses, none of them runs.
  if (!admitCaller()) return refuseLockedCall(exception);
  // A caller that asks for a property's value may also pass the method flag.
  return DispInvoke(static_cast<ITwainForm*>(this), typeInfo_.get(), id, flags, params, result,
                    exception, argError);
}

// --- class information, error information, connection points --------------

HRESULT TwainFormControl::GetClassInfo(ITypeInfo** out) {
  if (!out) return E_POINTER;
  *out = nullptr;
  return guarded([&] { *out = typeInfoOf(CLSID_TwainForm).detach(); });
}

HRESULT TwainFormControl::GetGUID(DWORD kind, GUID* out) {
  if (!out) return E_POINTER;
  if (kind != GUIDKIND_DEFAULT_SOURCE_DISP_IID) {
    *out = GUID_NULL;
    return E_INVALIDARG;
  }
  *out = DIID_ITwainFormEvents;
  return S_OK;
}

HRESULT TwainFormControl::InterfaceSupportsErrorInfo(REFIID iid) {
  return iid == IID_ITwainForm ? S_OK : S_FALSE;
}

HRESULT TwainFormControl::EnumConnectionPoints(IEnumConnectionPoints** out) {
  return enumerateOneConnectionPoint(&events_, out);
}

HRESULT TwainFormControl::FindConnectionPoint(REFIID iid, IConnectionPoint** out) {
  if (!out) return E_POINTER;
  *out = nullptr;
  if (iid != DIID_ITwainFormEvents) return CONNECT_E_NOCONNECTION;
  *out = &events_;
  events_.AddRef();
  return S_OK;
}

// --- events -------------------------------------------------------------------

void TwainFormControl::raiseEvent(FormEvent event, DISPPARAMS& params) {
  // A page hears from the control only once it may use it.
  if (freezeCount_ > 0 || !events_.hasSinks() || !siteLock_.allows()) return;
  events_.raise(static_cast<DISPID>(event), params);
}

void TwainFormControl::raise(FormEvent event) {
  DISPPARAMS none{nullptr, nullptr, 0, 0};
  raiseEvent(event, none);
}

// The key goes by reference so that the sink can change it.
short TwainFormControl::raiseKeyPress(short key) {
  VARIANT argument;
  VariantInit(&argument);
  argument.vt = VT_I2 | VT_BYREF;
  argument.piVal = &key;
  DISPPARAMS params{&argument, nullptr, 1, 0};
  raiseEvent(FormEvent::KeyPress, params);
  return key;
}

}  // namespace pagewell
