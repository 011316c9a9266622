#pragma once
// The address of the page the control works for, as far as the control
// knows it: the one the local service names for a page in a current
// browser, or the one its container's site gives it (see
// page_address_sources.h). The mark of the web on written files names it,
// and a served page's origin decides where its uploads may go.
#include <optional>
#include <string>

namespace pagewell {

struct PageAddress {
  // True once the local service has named the page: the control then
  // belongs to that page for its lifetime, and no site can change that.
  bool served = false;
  std::optional<std::wstring> address;
};

}  // namespace pagewell
