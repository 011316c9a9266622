#include "more_controls.h"

namespace pagehost {

MoreControls::~MoreControls() {
  for (Placed& placed : placed_) {
    placed.control->Close(OLECLOSE_NOSAVE);
    placed.control->SetClientSite(nullptr);
  }
}

pagewell::ComPtr<IDispatch> MoreControls::add() {
  CLSID controlClass;
  Placed placed;
  if (FAILED(CLSIDFromProgID(L"Pagewell.TwainForm", &controlClass)) ||
      FAILED(CoCreateInstance(controlClass, nullptr, CLSCTX_INPROC_SERVER, IID_IOleObject, placed.control.put_void())))
    return {};
  // Placed, not shown: the page's address is what the control judges.
  placed.site = std::make_unique<pagewell::container::ControlSite>(window_, RECT{}, pageUrl_);
  placed.control->SetClientSite(placed.site.get());
  pagewell::ComPtr<IDispatch> automation = placed.control.query<IDispatch>(IID_IDispatch);
  placed_.push_back(std::move(placed));
  return automation;
}

}  // namespace pagehost
