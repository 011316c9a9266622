#pragma once
// What a page gets here beyond the control's own members: start a scan as
// the Acquire button does, a page's image or thumbnail, and the encoded
// output of the current settings.
#include <string>

#include "control_bridge.h"
#include "core/control_request.h"

namespace pagewell::service {

class ServiceExtras {
 public:
  explicit ServiceExtras(IUnknown* control);
  // The answer to an extra; bytes that follow it as a binary message go to
  // `binary`.
  BridgeOutcome run(const ControlRequest& request, std::string& binary);
};

}  // namespace pagewell::service
