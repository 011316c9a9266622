#include "com/event_connection_point.h"

#include <olectl.h>

#include <new>

namespace pagewell {

EventConnectionPoint::EventConnectionPoint(IConnectionPointContainer& container, REFIID eventsIid)
    : container_(container), eventsIid_(eventsIid) {}

HRESULT EventConnectionPoint::QueryInterface(REFIID iid, void** out) {
  if (!out) return E_POINTER;
  if (iid == IID_IUnknown || iid == IID_IConnectionPoint) {
    *out = static_cast<IConnectionPoint*>(this);
    AddRef();
    return S_OK;
  }
  *out = nullptr;
  return E_NOINTERFACE;
}

ULONG EventConnectionPoint::AddRef() { return container_.AddRef(); }
ULONG EventConnectionPoint::Release() { return container_.Release(); }

HRESULT EventConnectionPoint::GetConnectionInterface(IID* iid) {
  if (!iid) return E_POINTER;
  *iid = eventsIid_;
  return S_OK;
}

HRESULT EventConnectionPoint::GetConnectionPointContainer(IConnectionPointContainer** out) {
  if (!out) return E_POINTER;
  *out = &container_;
  container_.AddRef();
  return S_OK;
}

// A sink may offer the events interface itself or only IDispatch; either
// way events go through IDispatch::Invoke.
HRESULT EventConnectionPoint::Advise(IUnknown* sink, DWORD* cookie) {
  if (!cookie) return E_POINTER;
  *cookie = 0;
  if (!sink) return E_POINTER;
  ComPtr<IDispatch> dispatch;
  if (FAILED(sink->QueryInterface(eventsIid_, dispatch.put_void())) &&
      FAILED(sink->QueryInterface(IID_IDispatch, dispatch.put_void())))
    return CONNECT_E_CANNOTCONNECT;
  *cookie = nextCookie_++;
  sinks_.emplace_back(*cookie, std::move(dispatch));
  return S_OK;
}

HRESULT EventConnectionPoint::Unadvise(DWORD cookie) {
  for (auto it = sinks_.begin(); it != sinks_.end(); ++it) {
    if (it->first == cookie) {
      sinks_.erase(it);
      return S_OK;
    }
  }
  return CONNECT_E_NOCONNECTION;
}

HRESULT EventConnectionPoint::EnumConnections(IEnumConnections** out) {
  if (!out) return E_POINTER;
  *out = nullptr;
  return E_NOTIMPL;
}

// The list is copied first: a sink may advise or unadvise from inside the
// event, and the control object must outlive a sink that releases it.
void EventConnectionPoint::raise(DISPID dispid, DISPPARAMS& params) {
  if (sinks_.empty()) return;
  ComPtr<IConnectionPointContainer> keepAlive(&container_);
  auto sinks = sinks_;
  for (auto& entry : sinks) {
    entry.second->Invoke(dispid, IID_NULL, LOCALE_USER_DEFAULT, DISPATCH_METHOD, &params, nullptr,
                         nullptr, nullptr);
  }
}

namespace {

class OnePointEnumerator final : public IEnumConnectionPoints {
 public:
  OnePointEnumerator(IConnectionPoint* point, ULONG position) : point_(point), position_(position) {}

  HRESULT STDMETHODCALLTYPE QueryInterface(REFIID iid, void** out) override {
    if (!out) return E_POINTER;
    if (iid == IID_IUnknown || iid == IID_IEnumConnectionPoints) {
      *out = static_cast<IEnumConnectionPoints*>(this);
      AddRef();
      return S_OK;
    }
    *out = nullptr;
    return E_NOINTERFACE;
  }
  ULONG STDMETHODCALLTYPE AddRef() override { return InterlockedIncrement(&references_); }
  ULONG STDMETHODCALLTYPE Release() override {
    ULONG count = InterlockedDecrement(&references_);
    if (count == 0) delete this;
    return count;
  }
  HRESULT STDMETHODCALLTYPE Next(ULONG count, IConnectionPoint** points, ULONG* fetched) override {
    if (!points || (count > 1 && !fetched)) return E_POINTER;
    ULONG given = 0;
    if (count > 0 && position_ == 0) {
      points[0] = point_.get();
      point_->AddRef();
      position_ = given = 1;
    }
    if (fetched) *fetched = given;
    return given == count ? S_OK : S_FALSE;
  }
  HRESULT STDMETHODCALLTYPE Skip(ULONG count) override {
    if (count == 0) return S_OK;
    bool skipped = position_ == 0 && count == 1;
    position_ = 1;
    return skipped ? S_OK : S_FALSE;
  }
  HRESULT STDMETHODCALLTYPE Reset() override {
    position_ = 0;
    return S_OK;
  }
  HRESULT STDMETHODCALLTYPE Clone(IEnumConnectionPoints** out) override {
    if (!out) return E_POINTER;
    *out = new (std::nothrow) OnePointEnumerator(point_.get(), position_);
    return *out ? S_OK : E_OUTOFMEMORY;
  }

 private:
  long references_ = 1;
  ComPtr<IConnectionPoint> point_;
  ULONG position_;
};

}  // namespace

HRESULT enumerateOneConnectionPoint(IConnectionPoint* point, IEnumConnectionPoints** out) {
  if (!out) return E_POINTER;
  *out = new (std::nothrow) OnePointEnumerator(point, 0);
  return *out ? S_OK : E_OUTOFMEMORY;
}

}  // namespace pagewell
