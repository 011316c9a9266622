#pragma once
// Reads, writes and calls the control's members by name through its
// IDispatch, with the names and kinds its type library gives.
#include <oaidl.h>

#include <string>

#include "com/com_ptr.h"
#include "core/json.h"
#include "type_library_members.h"

namespace pagewell::service {

// A member's answer: its value, or why there is none.
struct BridgeOutcome {
  Json value;
  std::string error;  // empty on success
};

class ControlBridge {
 public:
  ControlBridge(IDispatch* control, TypeLibraryMembers members);
  // The control of a new session, in the same control's place.
  void attach(IDispatch* control) { control_ = ComPtr<IDispatch>(control); }

  BridgeOutcome get(const std::string& name);
  BridgeOutcome put(const std::string& name, const Json& value);
  BridgeOutcome call(const std::string& name, const Json::Array& args);
  const TypeLibraryMembers& members() const { return members_; }

 private:
  BridgeOutcome invoke(DISPID id, WORD flags, const Json::Array& args);

  ComPtr<IDispatch> control_;
  TypeLibraryMembers members_;
};

}  // namespace pagewell::service
