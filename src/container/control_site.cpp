#include "container/control_site.h"

#include <urlmon.h>

namespace pagewell::container {

HRESULT ControlSite::QueryInterface(REFIID iid, void** out) {
  if (!out) return E_POINTER;
  *out = nullptr;
  if (iid == IID_IUnknown || iid == IID_IOleClientSite)
    *out = static_cast<IOleClientSite*>(this);
  else if (iid == IID_IOleWindow || iid == IID_IOleInPlaceSite)
    *out = static_cast<IOleInPlaceSite*>(this);
  else
    return E_NOINTERFACE;
  return S_OK;
}

HRESULT ControlSite::GetMoniker(DWORD, DWORD which, IMoniker** out) {
  if (!out) return E_POINTER;
  *out = nullptr;
  if (which != OLEWHICHMK_CONTAINER || pageUrl_.empty()) return E_NOTIMPL;
  return CreateURLMonikerEx(nullptr, pageUrl_.c_str(), out, URL_MK_UNIFORM);
}

HRESULT ControlSite::GetContainer(IOleContainer** out) {
  if (out) *out = nullptr;
  return E_NOINTERFACE;
}

HRESULT ControlSite::GetWindow(HWND* out) {
  if (!out) return E_POINTER;
  *out = window_;
  return S_OK;
}

HRESULT ControlSite::GetWindowContext(IOleInPlaceFrame** frame, IOleInPlaceUIWindow** document,
                                      LPRECT position, LPRECT clip, LPOLEINPLACEFRAMEINFO info) {
  if (frame) *frame = nullptr;
  if (document) *document = nullptr;
  if (position) *position = bounds_;
  if (clip) *clip = bounds_;
  if (info) {
    info->fMDIApp = FALSE;
    info->hwndFrame = window_;
    info->haccel = nullptr;
    info->cAccelEntries = 0;
  }
  return S_OK;
}

}  // namespace pagewell::container
