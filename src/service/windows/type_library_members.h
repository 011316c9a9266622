#pragma once
// The control's members and events by name, as its type library describes
// them: the functions of its dispatch interface (properties with their get
// and put halves, methods with their parameter counts) and of its default
// event interface. Nothing here lists a member by hand.
#include <oaidl.h>

#include <map>
#include <string>

#include "core/json.h"

namespace pagewell::service {

struct ControlMember {
  DISPID id = DISPID_UNKNOWN;
  bool method = false;
  bool readable = false;   // a property with a get half
  bool writable = false;   // a property with a put half
  int parameters = 0;      // a method's parameters, its return value not counted
};

class TypeLibraryMembers {
 public:
  // Reads the dispatch interface's type information and the event
  // interface's; an empty catalogue if either cannot be read.
  static TypeLibraryMembers read(ITypeInfo* dispatch, ITypeInfo* events);

  const ControlMember* member(const std::string& name) const;
  // The event's name, or empty when the event interface has no such id.
  std::string eventName(DISPID id) const;
  // {"properties":{"Name":"rw",...},"methods":{"Name":2,...},"events":[...]}
  Json describe() const;
  bool empty() const { return members_.empty(); }

 private:
  void addFunction(ITypeInfo* type, const FUNCDESC& function);

  std::map<std::string, ControlMember> members_;
  std::map<DISPID, std::string> events_;
};

}  // namespace pagewell::service
