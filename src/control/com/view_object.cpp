// IViewObject2: how a container draws the control when it is not (or not
// yet) active in its own window, e.g. for printing.
#include "com/control_object.h"
#include "twain_form.h"

namespace pagewell {

HRESULT TwainFormControl::Draw(DWORD aspect, LONG, void*, DVTARGETDEVICE*, HDC, HDC dc, LPCRECTL bounds,
                               LPCRECTL, BOOL(STDMETHODCALLTYPE*)(ULONG_PTR), ULONG_PTR) {
  if (aspect != DVASPECT_CONTENT) return DV_E_DVASPECT;
  if (!dc || !bounds) return E_INVALIDARG;
  RECT area{bounds->left, bounds->top, bounds->right, bounds->bottom};
  form_->drawTo(dc, area);
  return S_OK;
}

HRESULT TwainFormControl::GetColorSet(DWORD, LONG, void*, DVTARGETDEVICE*, HDC, LOGPALETTE** out) {
  if (!out) return E_POINTER;
  *out = nullptr;
  return S_FALSE;
}

HRESULT TwainFormControl::Freeze(DWORD, LONG, void*, DWORD*) { return E_NOTIMPL; }
HRESULT TwainFormControl::Unfreeze(DWORD) { return E_NOTIMPL; }

HRESULT TwainFormControl::SetAdvise(DWORD aspects, DWORD flags, IAdviseSink* sink) {
  viewAdvise_ = ViewAdvise{ComPtr<IAdviseSink>(sink), aspects, flags};
  return S_OK;
}

HRESULT TwainFormControl::GetAdvise(DWORD* aspects, DWORD* flags, IAdviseSink** sink) {
  if (aspects) *aspects = viewAdvise_.aspects;
  if (flags) *flags = viewAdvise_.flags;
  if (sink) *sink = ComPtr<IAdviseSink>(viewAdvise_.sink).detach();
  return S_OK;
}

HRESULT TwainFormControl::GetExtent(DWORD aspect, LONG, DVTARGETDEVICE*, LPSIZEL size) {
  return contentExtent(aspect, size);
}

}  // namespace pagewell
