// The OLE embedding side of the control: how a page host sites it, places
// it in-place in its window, activates and closes it.
#include <olectl.h>

#include "com/control_object.h"
#include "page_address_sources.h"
#include "twain_form.h"

namespace pagewell {
namespace {

// OLEMISC_SIMPLEFRAME | OLEMISC_ACTSLIKELABEL, as registered.
constexpr DWORD kMiscStatus = 0x12000;

}  // namespace

HRESULT TwainFormControl::activateInPlace(IOleClientSite* site, HWND, LPCRECT, bool uiActivate) {
  if (!inPlaceActive_) {
    ComPtr<IOleClientSite> client(site ? site : clientSite_.get());
    if (!client) return E_UNEXPECTED;
    ComPtr<IOleInPlaceSite> inPlace = client.query<IOleInPlaceSite>(IID_IOleInPlaceSite);
    if (!inPlace) return E_NOINTERFACE;
    if (inPlace->CanInPlaceActivate() != S_OK) return E_FAIL;
    inPlace->OnInPlaceActivate();
    HWND parent = nullptr;
    inPlace->GetWindow(&parent);
    ComPtr<IOleInPlaceUIWindow> document;
    RECT position{}, clip{};
    OLEINPLACEFRAMEINFO frameInfo{};
    frameInfo.cb = sizeof frameInfo;
    inPlace->GetWindowContext(frame_.put(), document.put(), &position, &clip, &frameInfo);
    form_->attach(parent, position);
    inPlaceSite_ = inPlace;
    inPlaceActive_ = true;
  }
  if (uiActivate && !uiActive_) {
    uiActive_ = true;
    inPlaceSite_->OnUIActivate();
    if (frame_) frame_->SetActiveObject(static_cast<IOleInPlaceActiveObject*>(this), L"TwainForm");
    form_->setActive(true);
  }
  return S_OK;
}

void TwainFormControl::deactivateUi() {
  if (!uiActive_) return;
  uiActive_ = false;
  form_->setActive(false);
  if (frame_) frame_->SetActiveObject(nullptr, nullptr);
  if (inPlaceSite_) inPlaceSite_->OnUIDeactivate(FALSE);
}

void TwainFormControl::deactivateInPlace() {
  deactivateUi();
  if (!inPlaceActive_) return;
  inPlaceActive_ = false;
  if (form_) form_->detach();
  ComPtr<IOleInPlaceSite> site = inPlaceSite_;
  inPlaceSite_.reset();
  frame_.reset();
  site->OnInPlaceDeactivate();
}

// --- IOleObject ---------------------------------------------------------------------

HRESULT TwainFormControl::SetClientSite(IOleClientSite* site) {
  if (!site) deactivateInPlace();
  clientSite_ = ComPtr<IOleClientSite>(site);
  LearnPageAddress(form_->state().page, site);
  applySiteLock(site);
  return S_OK;
}

HRESULT TwainFormControl::GetClientSite(IOleClientSite** out) {
  if (!out) return E_POINTER;
  *out = ComPtr<IOleClientSite>(clientSite_).detach();
  return S_OK;
}

HRESULT TwainFormControl::SetHostNames(LPCOLESTR, LPCOLESTR) { return S_OK; }

HRESULT TwainFormControl::Close(DWORD) {
  deactivateInPlace();
  if (oleAdvise_) oleAdvise_->SendOnClose();
  return S_OK;
}

HRESULT TwainFormControl::SetMoniker(DWORD, IMoniker*) { return E_NOTIMPL; }

HRESULT TwainFormControl::GetMoniker(DWORD, DWORD, IMoniker** out) {
  if (out) *out = nullptr;
  return E_NOTIMPL;
}

HRESULT TwainFormControl::InitFromData(IDataObject*, BOOL, DWORD) { return E_NOTIMPL; }

HRESULT TwainFormControl::GetClipboardData(DWORD, IDataObject** out) {
  if (out) *out = nullptr;
  return E_NOTIMPL;
}

HRESULT TwainFormControl::DoVerb(LONG verb, LPMSG, IOleClientSite* site, LONG, HWND parent,
                                 LPCRECT bounds) {
  switch (verb) {
    case OLEIVERB_PRIMARY:
    case OLEIVERB_SHOW:
    case OLEIVERB_UIACTIVATE:
      return activateInPlace(site, parent, bounds, true);
    case OLEIVERB_INPLACEACTIVATE:
      return activateInPlace(site, parent, bounds, false);
    case OLEIVERB_HIDE:
      deactivateInPlace();
      return S_OK;
    default:
      return verb < 0 ? E_NOTIMPL : OLEOBJ_S_INVALIDVERB;
  }
}

HRESULT TwainFormControl::EnumVerbs(IEnumOLEVERB** out) {
  if (!out) return E_POINTER;
  return OleRegEnumVerbs(CLSID_TwainForm, out);
}

HRESULT TwainFormControl::Update() { return S_OK; }
HRESULT TwainFormControl::IsUpToDate() { return S_OK; }

HRESULT TwainFormControl::GetUserClassID(CLSID* out) {
  if (!out) return E_POINTER;
  *out = CLSID_TwainForm;
  return S_OK;
}

HRESULT TwainFormControl::GetUserType(DWORD form, LPOLESTR* out) {
  if (!out) return E_POINTER;
  return OleRegGetUserType(CLSID_TwainForm, form, out);
}

HRESULT TwainFormControl::SetExtent(DWORD aspect, SIZEL* size) {
  if (!size) return E_POINTER;
  if (aspect != DVASPECT_CONTENT) return DV_E_DVASPECT;
  extent_ = *size;
  return S_OK;
}

HRESULT TwainFormControl::GetExtent(DWORD aspect, SIZEL* size) { return contentExtent(aspect, size); }

HRESULT TwainFormControl::contentExtent(DWORD aspect, SIZEL* size) const {
  if (!size) return E_POINTER;
  if (aspect != DVASPECT_CONTENT) return DV_E_DVASPECT;
  *size = extent_;
  return S_OK;
}

HRESULT TwainFormControl::Advise(IAdviseSink* sink, DWORD* cookie) {
  if (!cookie) return E_POINTER;
  if (!oleAdvise_) {
    HRESULT hr = CreateOleAdviseHolder(oleAdvise_.put());
    if (FAILED(hr)) return hr;
  }
  return oleAdvise_->Advise(sink, cookie);
}

HRESULT TwainFormControl::Unadvise(DWORD cookie) {
  return oleAdvise_ ? oleAdvise_->Unadvise(cookie) : OLE_E_NOCONNECTION;
}

HRESULT TwainFormControl::EnumAdvise(IEnumSTATDATA** out) {
  if (!out) return E_POINTER;
  *out = nullptr;
  return oleAdvise_ ? oleAdvise_->EnumAdvise(out) : S_OK;
}

HRESULT TwainFormControl::GetMiscStatus(DWORD, DWORD* status) {
  if (!status) return E_POINTER;
  *status = kMiscStatus;
  return S_OK;
}

HRESULT TwainFormControl::SetColorScheme(LOGPALETTE*) { return E_NOTIMPL; }

// --- IOleWindow, IOleInPlaceObject, IOleInPlaceActiveObject --------------------------

HRESULT TwainFormControl::GetWindow(HWND* out) {
  if (!out) return E_POINTER;
  *out = form_ ? form_->window() : nullptr;
  return *out ? S_OK : E_FAIL;
}

HRESULT TwainFormControl::ContextSensitiveHelp(BOOL) { return E_NOTIMPL; }

HRESULT TwainFormControl::InPlaceDeactivate() {
  deactivateInPlace();
  return S_OK;
}

HRESULT TwainFormControl::UIDeactivate() {
  deactivateUi();
  return S_OK;
}

HRESULT TwainFormControl::SetObjectRects(LPCRECT position, LPCRECT) {
  if (!position) return E_POINTER;
  form_->setBounds(*position);
  return S_OK;
}

HRESULT TwainFormControl::ReactivateAndUndo() { return INPLACE_E_NOTUNDOABLE; }

// The host offers each key here before dispatching it. Tab and Shift+Tab
// move between the form's components (S_OK: the host drops the key); at
// either end of the form, and for every other key, S_FALSE leaves the key
// to the host, which moves the focus on to the rest of its page.
HRESULT TwainFormControl::TranslateAccelerator(LPMSG message) {
  if (!message) return E_INVALIDARG;
  return form_ && form_->moveFocusByTab(*message) ? S_OK : S_FALSE;
}
HRESULT TwainFormControl::OnFrameWindowActivate(BOOL) { return S_OK; }
HRESULT TwainFormControl::OnDocWindowActivate(BOOL) { return S_OK; }
HRESULT TwainFormControl::ResizeBorder(LPCRECT, IOleInPlaceUIWindow*, BOOL) { return S_OK; }
HRESULT TwainFormControl::EnableModeless(BOOL) { return S_OK; }

// --- IOleControl ----------------------------------------------------------------------

HRESULT TwainFormControl::GetControlInfo(CONTROLINFO* info) {
  if (!info) return E_POINTER;
  info->cb = sizeof *info;
  info->hAccel = nullptr;
  info->cAccel = 0;
  info->dwFlags = 0;
  return S_OK;
}

HRESULT TwainFormControl::OnMnemonic(MSG*) { return E_NOTIMPL; }
HRESULT TwainFormControl::OnAmbientPropertyChange(DISPID) { return S_OK; }

// While the container has events frozen, none is raised.
HRESULT TwainFormControl::FreezeEvents(BOOL freeze) {
  freezeCount_ += freeze ? 1 : -1;
  if (freezeCount_ < 0) freezeCount_ = 0;
  return S_OK;
}

}  // namespace pagewell
