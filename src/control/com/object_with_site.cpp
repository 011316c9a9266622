// IObjectWithSite and the site lock's wiring: a browser hands the control
// its site here (a container through IOleObject::SetClientSite); either way
// the site lock judges the page behind it, and the page's first call puts
// the question to the user where one is due.
#include "com/control_object.h"

#include "com/bstr.h"
#include "com/error_boundary.h"
#include "page_address_sources.h"
#include "text/wide_text.h"
#include "twain_form.h"

namespace pagewell {

HRESULT TwainFormControl::SetSite(IUnknown* site) {
  site_ = ComPtr<IUnknown>(site);
  LearnPageAddress(form_->state().page, site);
  applySiteLock(site);
  return S_OK;
}

HRESULT TwainFormControl::GetSite(REFIID iid, void** out) {
  if (!out) return E_POINTER;
  *out = nullptr;
  if (!site_) return E_FAIL;
  return site_->QueryInterface(iid, out);
}

void TwainFormControl::applySiteLock(IUnknown* site) {
  if (siteLock_.learnPageFrom(site)) showVerdict();
}

bool TwainFormControl::admitCaller() {
  ComPtr<ITwainForm> keepAlive;
  if (siteLock_.undecided()) {
    // The question's loop runs the page's messages, and the page may let
    // go of the control meanwhile.
    keepAlive = ComPtr<ITwainForm>(static_cast<ITwainForm*>(this));
    siteLock_.admit();
    showVerdict();
  }
  if (!siteLock_.allows()) return false;
  // A program that drives a control no container placed gets its devices
  // with its first call.
  form_->startDevices();
  return true;
}

void TwainFormControl::showVerdict() {
  if (siteLock_.allows())
    form_->startDevices();
  else if (siteLock_.refuses())
    form_->showOnlyLine(siteLock_.refusal());
}

HRESULT TwainFormControl::refuseLockedCall(EXCEPINFO* exception) const {
  std::wstring message = siteLock_.refusal();
  setErrorInfo(utf8FromWide(message));
  if (!exception) return E_ACCESSDENIED;
  *exception = EXCEPINFO{};
  exception->scode = E_ACCESSDENIED;
  exception->bstrSource = Bstr(L"Pagewell").detach();
  exception->bstrDescription = Bstr(message).detach();
  return DISP_E_EXCEPTION;
}

}  // namespace pagewell
