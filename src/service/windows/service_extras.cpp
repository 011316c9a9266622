#include "service_extras.h"

namespace pagewell::service {

ServiceExtras::ServiceExtras(IUnknown*) {}

BridgeOutcome ServiceExtras::run(const ControlRequest& request, std::string&) {
  return {Json(), request.op + " is not available with this control"};
}

}  // namespace pagewell::service
