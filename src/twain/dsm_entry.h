#pragma once
// The one seam between the session and TWAIN: every call goes through a
// function shaped like the manager's DSM_Entry. The product hands the session
// the entry of the loaded manager; tests hand it an in-process fake manager;
// the diagnostic tool wraps the real entry to trace every triplet.
#include <functional>

#include "twain/twain_types.h"

namespace pagewell {

using DsmEntry = std::function<twain::TW_UINT16(twain::TW_IDENTITY* origin, twain::TW_IDENTITY* dest,
                                                twain::TW_UINT32 dg, twain::TW_UINT16 dat,
                                                twain::TW_UINT16 msg, twain::TW_MEMREF data)>;

}  // namespace pagewell
