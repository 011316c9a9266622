#pragma once
// Where the control learns its page's address (page_address.h): from the
// local service, which names the page of each session, or from the site a
// container or browser gives it.
#include <objidl.h>

#include <string>

#include "page_address.h"

namespace pagewell {

// Takes the address of the page behind `site` (see pageAddressOf), unless
// the control is served or the site names no page.
void LearnPageAddress(PageAddress& page, IUnknown* site);

// What IPagewellServiceBridge::ServePage does: the control is served from
// now on, for the page at `address`. Once only: a second call is refused
// (E_UNEXPECTED) and changes nothing. An address without a web origin
// (E_INVALIDARG) still makes the control served, with no origin its
// uploads could go to.
HRESULT ServePageAt(PageAddress& page, std::wstring address);

}  // namespace pagewell
