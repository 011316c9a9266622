#include "control_bridge.h"

#include <oleauto.h>

#include <cstdio>
#include <vector>

#include "variant_json.h"
#include "wide_text.h"

namespace pagewell::service {
namespace {

BridgeOutcome failure(std::string error) { return {Json(), std::move(error)}; }

// Members no page needs, whatever its origin: the about box is a dialog
// that nobody in front of the screen asked for.
bool closedToPages(const std::string& name) { return name == "AboutBox"; }

// What a failed Invoke says: the control's own description when it left
// one, or the HRESULT.
std::string invokeError(HRESULT hr, EXCEPINFO& exception) {
  if (exception.pfnDeferredFillIn) exception.pfnDeferredFillIn(&exception);
  std::string text;
  if (exception.bstrDescription) text = narrow(std::wstring_view(exception.bstrDescription, SysStringLen(exception.bstrDescription)));
  SysFreeString(exception.bstrDescription);
  SysFreeString(exception.bstrSource);
  SysFreeString(exception.bstrHelpFile);
  if (!text.empty()) return text;
  char code[40];
  std::snprintf(code, sizeof code, "the control failed with 0x%08lX", static_cast<unsigned long>(hr));
  return code;
}

}  // namespace

ControlBridge::ControlBridge(IDispatch* control, TypeLibraryMembers members)
    : control_(control), members_(std::move(members)) {}

BridgeOutcome ControlBridge::get(const std::string& name) {
  const ControlMember* member = members_.member(name);
  if (!member || !member->readable) return failure(name + " is not a readable property of the control");
  return invoke(member->id, DISPATCH_PROPERTYGET, {});
}

BridgeOutcome ControlBridge::put(const std::string& name, const Json& value) {
  const ControlMember* member = members_.member(name);
  if (!member || !member->writable) return failure(name + " is not a writable property of the control");
  return invoke(member->id, DISPATCH_PROPERTYPUT, {value});
}

BridgeOutcome ControlBridge::call(const std::string& name, const Json::Array& args) {
  if (closedToPages(name)) return failure(name + " is not available to pages");
  const ControlMember* member = members_.member(name);
  if (!member || !member->method) return failure(name + " is not a method of the control");
  if (static_cast<int>(args.size()) != member->parameters)
    return failure(name + " takes " + std::to_string(member->parameters) + " arguments");
  return invoke(member->id, DISPATCH_METHOD, args);
}

BridgeOutcome ControlBridge::invoke(DISPID id, WORD flags, const Json::Array& args) {
  // IDispatch takes the arguments last first.
  std::vector<VARIANT> arguments;
  for (auto it = args.rbegin(); it != args.rend(); ++it) {
    std::optional<VARIANT> argument = toVariant(*it);
    if (!argument) {
      for (VARIANT& made : arguments) VariantClear(&made);
      return failure("arguments are numbers, text, booleans or null");
    }
    arguments.push_back(*argument);
  }
  DISPID named = DISPID_PROPERTYPUT;
  DISPPARAMS parameters{arguments.data(), flags == DISPATCH_PROPERTYPUT ? &named : nullptr,
                        static_cast<UINT>(arguments.size()), flags == DISPATCH_PROPERTYPUT ? 1u : 0u};
  VARIANT result;
  VariantInit(&result);
  EXCEPINFO exception{};
  UINT argumentError = 0;
  HRESULT hr = control_->Invoke(id, IID_NULL, LOCALE_USER_DEFAULT, flags, &parameters,
                                flags == DISPATCH_PROPERTYPUT ? nullptr : &result, &exception, &argumentError);
  for (VARIANT& argument : arguments) VariantClear(&argument);
  if (FAILED(hr)) return failure(invokeError(hr, exception));
  Json value = toJson(result);
  VariantClear(&result);
  return {std::move(value), {}};
}

}  // namespace pagewell::service
