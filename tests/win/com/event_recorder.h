#pragma once
// A connection-point sink that records the events it receives and, for
// OnKeyPress, writes back a chosen key.
#include <oaidl.h>
#include <ocidl.h>

#include <vector>

#include "com_test_support.h"

namespace comtest {

class EventRecorder final : public StackDispatch {
 public:
  HRESULT STDMETHODCALLTYPE GetIDsOfNames(REFIID, LPOLESTR*, UINT, LCID, DISPID*) override { return E_NOTIMPL; }
  HRESULT STDMETHODCALLTYPE Invoke(DISPID id, REFIID, LCID, WORD, DISPPARAMS* params, VARIANT*, EXCEPINFO*,
                                   UINT*) override {
    events.push_back(id);
    if (id == 207 && params->cArgs == 1 && params->rgvarg[0].vt == (VT_I2 | VT_BYREF)) {
      keysSeen.push_back(*params->rgvarg[0].piVal);
      *params->rgvarg[0].piVal = replacementKey;
    }
    return S_OK;
  }

  bool saw(DISPID id) const {
    for (DISPID e : events)
      if (e == id) return true;
    return false;
  }

  std::vector<DISPID> events;
  std::vector<short> keysSeen;
  short replacementKey = 0;
};

}  // namespace comtest
