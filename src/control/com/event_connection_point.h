#pragma once
// The connection point for ITwainFormEvents. It lives inside the control
// object and shares its reference count; sinks are reached through their
// IDispatch, synchronously, on the caller's thread.
#include <ocidl.h>

#include <utility>
#include <vector>

#include "com/com_ptr.h"

namespace pagewell {

class EventConnectionPoint final : public IConnectionPoint {
 public:
  EventConnectionPoint(IConnectionPointContainer& container, REFIID eventsIid);

  HRESULT STDMETHODCALLTYPE QueryInterface(REFIID iid, void** out) override;
  ULONG STDMETHODCALLTYPE AddRef() override;
  ULONG STDMETHODCALLTYPE Release() override;
  HRESULT STDMETHODCALLTYPE GetConnectionInterface(IID* iid) override;
  HRESULT STDMETHODCALLTYPE GetConnectionPointContainer(IConnectionPointContainer** out) override;
  HRESULT STDMETHODCALLTYPE Advise(IUnknown* sink, DWORD* cookie) override;
  HRESULT STDMETHODCALLTYPE Unadvise(DWORD cookie) override;
  HRESULT STDMETHODCALLTYPE EnumConnections(IEnumConnections** out) override;

  bool hasSinks() const { return !sinks_.empty(); }
  // Calls every connected sink's Invoke with `dispid` and `params`.
  void raise(DISPID dispid, DISPPARAMS& params);
  void disconnectAll() { sinks_.clear(); }

 private:
  IConnectionPointContainer& container_;
  IID eventsIid_;
  DWORD nextCookie_ = 1;
  std::vector<std::pair<DWORD, ComPtr<IDispatch>>> sinks_;
};

// Enumerates the control's single connection point.
HRESULT enumerateOneConnectionPoint(IConnectionPoint* point, IEnumConnectionPoints** out);

}  // namespace pagewell
