#pragma once
// What a page gets here beyond the control's own members, through the
// control's IPagewellServiceBridge: start a scan as the Acquire button
// does, a page's image or thumbnail, and the encoded output of the current
// settings. Images and files answer with a header ({"type","size"}) and
// follow as the next binary message.
#include <string>

#include "com/com_ptr.h"
#include "com/service_bridge.h"
#include "control_bridge.h"
#include "core/control_request.h"

namespace pagewell::service {

class ServiceExtras {
 public:
  explicit ServiceExtras(IUnknown* control) { attach(control); }
  // The control of a new session, in the same control's place.
  void attach(IUnknown* control);
  // Gives the control to the page of `origin`: its uploads and files are
  // that page's from now on. False when the control would not take it.
  bool servePage(const std::string& origin);
  // The answer to an extra; bytes that follow it go to `binary`.
  BridgeOutcome run(const ControlRequest& request, std::string& binary);

 private:
  BridgeOutcome acquire();
  BridgeOutcome pageImage(const Json& options, int defaultWidth, std::string& binary);
  BridgeOutcome output(std::string& binary);

  ComPtr<IPagewellServiceBridge> bridge_;
};

}  // namespace pagewell::service
