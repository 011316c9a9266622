#include "font_notifications.h"

#include <new>
#include <utility>

namespace pagewell {

// The sink the font object holds. The font may outlive the form (a page can
// keep the object it read), so the sink forgets its owner when the owner
// stops listening rather than pointing at it afterwards.
class FontNotifications::Sink final : public IPropertyNotifySink {
 public:
  explicit Sink(std::function<void()> changed) : changed_(std::move(changed)) {}

  HRESULT STDMETHODCALLTYPE QueryInterface(REFIID iid, void** out) override {
    if (!out) return E_POINTER;
    *out = nullptr;
    if (iid != IID_IUnknown && iid != IID_IPropertyNotifySink) return E_NOINTERFACE;
    *out = static_cast<IPropertyNotifySink*>(this);
    AddRef();
    return S_OK;
  }
  ULONG STDMETHODCALLTYPE AddRef() override { return InterlockedIncrement(&references_); }
  ULONG STDMETHODCALLTYPE Release() override {
    ULONG count = InterlockedDecrement(&references_);
    if (count == 0) delete this;
    return count;
  }
  HRESULT STDMETHODCALLTYPE OnChanged(DISPID) override {
    if (changed_) changed_();
    return S_OK;
  }
  HRESULT STDMETHODCALLTYPE OnRequestEdit(DISPID) override { return S_OK; }

  void forget() { changed_ = nullptr; }

 private:
  long references_ = 1;
  std::function<void()> changed_;
};

FontNotifications::FontNotifications(std::function<void()> changed) {
  Sink* sink = new (std::nothrow) Sink(std::move(changed));
  if (sink) sink_ = ComPtr<Sink>::adopt(sink);
}

FontNotifications::~FontNotifications() {
  stop();
  if (sink_) sink_->forget();
}

void FontNotifications::listenTo(IFont* font) {
  stop();
  if (!font || !sink_) return;
  ComPtr<IConnectionPointContainer> container;
  if (FAILED(font->QueryInterface(IID_IConnectionPointContainer, container.put_void()))) return;
  ComPtr<IConnectionPoint> point;
  if (FAILED(container->FindConnectionPoint(IID_IPropertyNotifySink, point.put()))) return;
  DWORD cookie = 0;
  if (FAILED(point->Advise(static_cast<IPropertyNotifySink*>(sink_.get()), &cookie))) return;
  point_ = point;
  cookie_ = cookie;
}

void FontNotifications::stop() {
  if (point_) point_->Unadvise(cookie_);
  point_.reset();
  cookie_ = 0;
}

}  // namespace pagewell
