#include "variant_json.h"

#include <oleauto.h>

#include <climits>
#include <cmath>

#include "wide_text.h"

namespace pagewell::service {

std::optional<VARIANT> toVariant(const Json& value) {
  VARIANT variant;
  VariantInit(&variant);
  switch (value.kind()) {
    case Json::Kind::Null: break;
    case Json::Kind::Boolean:
      variant.vt = VT_BOOL;
      variant.boolVal = value.boolean() ? VARIANT_TRUE : VARIANT_FALSE;
      break;
    case Json::Kind::Number:
      if (value.number() == std::floor(value.number()) && value.number() >= INT_MIN && value.number() <= INT_MAX) {
        variant.vt = VT_I4;
        variant.lVal = static_cast<LONG>(value.number());
      } else {
        variant.vt = VT_R8;
        variant.dblVal = value.number();
      }
      break;
    case Json::Kind::String: {
      std::wstring text = widen(value.text());
      variant.vt = VT_BSTR;
      variant.bstrVal = SysAllocStringLen(text.data(), static_cast<UINT>(text.size()));
      break;
    }
    default: return std::nullopt;
  }
  return variant;
}

Json toJson(const VARIANT& value) {
  VARIANT direct;
  VariantInit(&direct);
  if (FAILED(VariantCopyInd(&direct, const_cast<VARIANT*>(&value)))) return Json();  // only read
  Json result;
  if (direct.vt == VT_BOOL) {
    result = Json(direct.boolVal != VARIANT_FALSE);
  } else if (direct.vt == VT_BSTR) {
    result = Json(narrow(std::wstring_view(direct.bstrVal ? direct.bstrVal : L"", SysStringLen(direct.bstrVal))));
  } else if (direct.vt != VT_EMPTY && direct.vt != VT_NULL && direct.vt != VT_DISPATCH && direct.vt != VT_UNKNOWN) {
    VARIANT number;
    VariantInit(&number);
    if (SUCCEEDED(VariantChangeType(&number, &direct, 0, VT_R8))) result = Json(number.dblVal);
    VariantClear(&number);
  }
  VariantClear(&direct);
  return result;
}

}  // namespace pagewell::service
