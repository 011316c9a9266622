#include "type_library_members.h"

#include <oleauto.h>

#include "wide_text.h"

namespace pagewell::service {
namespace {

std::string memberName(ITypeInfo* type, MEMBERID id) {
  BSTR name = nullptr;
  if (FAILED(type->GetDocumentation(id, &name, nullptr, nullptr, nullptr)) || !name) return {};
  std::string text = narrow(std::wstring_view(name, SysStringLen(name)));
  SysFreeString(name);
  return text;
}

// Calls `visit` with every function of the type that a script may use
// (restricted ones, such as IDispatch's own, are left out).
template <class Visit>
void forEachFunction(ITypeInfo* type, Visit visit) {
  TYPEATTR* attributes = nullptr;
  if (!type || FAILED(type->GetTypeAttr(&attributes))) return;
  WORD count = attributes->cFuncs;
  type->ReleaseTypeAttr(attributes);
  for (WORD i = 0; i < count; ++i) {
    FUNCDESC* function = nullptr;
    if (FAILED(type->GetFuncDesc(i, &function))) continue;
    if (!(function->wFuncFlags & FUNCFLAG_FRESTRICTED)) visit(*function);
    type->ReleaseFuncDesc(function);
  }
}

bool hasReturnValue(const FUNCDESC& function) {
  return function.cParams > 0 && (function.lprgelemdescParam[function.cParams - 1].paramdesc.wParamFlags & PARAMFLAG_FRETVAL);
}

}  // namespace

TypeLibraryMembers TypeLibraryMembers::read(ITypeInfo* dispatch, ITypeInfo* events) {
  TypeLibraryMembers catalogue;
  forEachFunction(dispatch, [&](const FUNCDESC& function) { catalogue.addFunction(dispatch, function); });
  forEachFunction(events, [&](const FUNCDESC& function) {
    catalogue.events_[function.memid] = memberName(events, function.memid);
  });
  return catalogue;
}

void TypeLibraryMembers::addFunction(ITypeInfo* type, const FUNCDESC& function) {
  std::string name = memberName(type, function.memid);
  if (name.empty()) return;
  ControlMember& member = members_[name];
  member.id = function.memid;
  switch (function.invkind) {
    case INVOKE_PROPERTYGET: member.readable = true; break;
    case INVOKE_PROPERTYPUT:
    case INVOKE_PROPERTYPUTREF: member.writable = true; break;
    default:
      member.method = true;
      member.parameters = function.cParams - (hasReturnValue(function) ? 1 : 0);
      break;
  }
}

const ControlMember* TypeLibraryMembers::member(const std::string& name) const {
  auto found = members_.find(name);
  return found == members_.end() ? nullptr : &found->second;
}

std::string TypeLibraryMembers::eventName(DISPID id) const {
  auto found = events_.find(id);
  return found == events_.end() ? std::string() : found->second;
}

Json TypeLibraryMembers::describe() const {
  Json::Object properties, methods;
  for (const auto& [name, member] : members_) {
    if (member.method)
      methods.emplace_back(name, Json(member.parameters));
    else
      properties.emplace_back(name, Json(std::string(member.readable ? "r" : "") + (member.writable ? "w" : "")));
  }
  Json::Array events;
  for (const auto& [id, name] : events_) events.emplace_back(name);
  return Json(Json::Object{{"properties", Json(std::move(properties))},
                           {"methods", Json(std::move(methods))},
                           {"events", Json(std::move(events))}});
}

}  // namespace pagewell::service
