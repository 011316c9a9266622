#pragma once
#include <vector>

#include "form_state.h"

namespace pagewell {

// The nine page sizes the scan panel offers, in centimetres, in the order
// that PageSize indexes them.
std::vector<PageSizeEntry> standardPageSizes();

}  // namespace pagewell
