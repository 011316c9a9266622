#pragma once
// The sink on the control's event connection point: each event the control
// raises goes on, by its type-library name and with its arguments in
// order, to whoever listens (the session of the page).
#include <oaidl.h>

#include <functional>
#include <string>

#include "core/json.h"
#include "type_library_members.h"

namespace pagewell::service {

class EventForwarder final : public IDispatch {
 public:
  using Listener = std::function<void(const std::string& name, Json::Array args)>;

  EventForwarder(REFIID eventInterface, const TypeLibraryMembers& members, Listener listener)
      : eventInterface_(eventInterface), members_(members), listener_(std::move(listener)) {}

  HRESULT STDMETHODCALLTYPE QueryInterface(REFIID iid, void** out) override;
  // Lives as long as the service; references are not counted.
  ULONG STDMETHODCALLTYPE AddRef() override { return 2; }
  ULONG STDMETHODCALLTYPE Release() override { return 1; }
  HRESULT STDMETHODCALLTYPE GetTypeInfoCount(UINT* count) override;
  HRESULT STDMETHODCALLTYPE GetTypeInfo(UINT, LCID, ITypeInfo**) override { return E_NOTIMPL; }
  HRESULT STDMETHODCALLTYPE GetIDsOfNames(REFIID, LPOLESTR*, UINT, LCID, DISPID*) override { return E_NOTIMPL; }
  HRESULT STDMETHODCALLTYPE Invoke(DISPID id, REFIID iid, LCID locale, WORD flags, DISPPARAMS* params,
                                   VARIANT* result, EXCEPINFO* exception, UINT* argumentError) override;

 private:
  IID eventInterface_;
  const TypeLibraryMembers& members_;
  Listener listener_;
};

}  // namespace pagewell::service
