#include "page_address_sources.h"

#include "allowed_origins.h"
#include "com/service_bridge.h"
#include "site_lock.h"
#include "text/wide_text.h"

namespace pagewell {

void LearnPageAddress(PageAddress& page, IUnknown* site) {
  if (page.served || !site) return;
  std::optional<std::wstring> address = pageAddressOf(site);
  // The local service's own container names itself, not a page.
  if (!address || address->empty() || *address == kLocalServicePageAddress) return;
  page.address = std::move(address);
}

HRESULT ServePageAt(PageAddress& page, std::wstring address) {
  if (page.served) return E_UNEXPECTED;
  page.served = true;
  const bool webPage = originOfAddress(utf8FromWide(address)).has_value();
  page.address = std::move(address);
  return webPage ? S_OK : E_INVALIDARG;
}

}  // namespace pagewell
