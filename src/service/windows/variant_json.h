#pragma once
// Automation values (VARIANT) to the protocol's JSON values and back.
#include <oaidl.h>

#include <optional>

#include "core/json.h"

namespace pagewell::service {

// Numbers become VT_I4 when whole and within its range, VT_R8 otherwise;
// text becomes a BSTR. Arrays and objects are no automation values: nothing.
// The caller clears the VARIANT.
std::optional<VARIANT> toVariant(const Json& value);

// Numbers of every width, text and booleans; objects and anything else the
// page cannot use (the form's Font) read as null.
Json toJson(const VARIANT& value);

}  // namespace pagewell::service
