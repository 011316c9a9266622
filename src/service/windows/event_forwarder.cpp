#include "event_forwarder.h"

#include "variant_json.h"

namespace pagewell::service {

HRESULT EventForwarder::QueryInterface(REFIID iid, void** out) {
  if (!out) return E_POINTER;
  *out = nullptr;
  if (iid != IID_IUnknown && iid != IID_IDispatch && iid != eventInterface_) return E_NOINTERFACE;
  *out = static_cast<IDispatch*>(this);
  return S_OK;
}

HRESULT EventForwarder::GetTypeInfoCount(UINT* count) {
  if (!count) return E_POINTER;
  *count = 0;
  return S_OK;
}

HRESULT EventForwarder::Invoke(DISPID id, REFIID, LCID, WORD, DISPPARAMS* params, VARIANT*, EXCEPINFO*, UINT*) {
  std::string name = members_.eventName(id);
  if (name.empty()) return DISP_E_MEMBERNOTFOUND;
  Json::Array args;
  // The arguments come last first.
  for (UINT i = params ? params->cArgs : 0; i > 0; --i) args.push_back(toJson(params->rgvarg[i - 1]));
  listener_(name, std::move(args));
  return S_OK;
}

}  // namespace pagewell::service
