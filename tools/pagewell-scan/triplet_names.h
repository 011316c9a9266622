#pragma once
// Readable names of TWAIN triplets and return codes, for --trace.
#include <string>

#include "twain/twain_types.h"

namespace pagewell_scan {

std::string TripletName(twain::TW_UINT32 dg, twain::TW_UINT16 dat, twain::TW_UINT16 msg);
std::string ReturnCodeName(twain::TW_UINT16 rc);
std::string CapabilityName(twain::TW_UINT16 cap);

}  // namespace pagewell_scan
