#include "site_lock.h"

#include <exdisp.h>
#include <oleidl.h>
#include <servprov.h>
#include <shlguid.h>

#include "allowed_origins.h"
#include "com/com_ptr.h"
#include "com/service_bridge.h"
#include "consent_window.h"
#include "origin/public_suffix.h"
#include "site_settings.h"
#include "text/wide_text.h"

namespace pagewell {
namespace {

// The browser's own record of the page it shows.
std::optional<std::wstring> addressFromBrowser(IUnknown* site) {
  ComPtr<IServiceProvider> services = ComPtr<IUnknown>(site).query<IServiceProvider>(IID_IServiceProvider);
  ComPtr<IWebBrowser2> browser;
  if (!services || FAILED(services->QueryService(SID_SWebBrowserApp, IID_IWebBrowser2, browser.put_void())))
    return std::nullopt;
  BSTR location = nullptr;
  if (FAILED(browser->get_LocationURL(&location)) || !location) return std::nullopt;
  std::wstring address(location, SysStringLen(location));
  SysFreeString(location);
  return address;
}

// The display name of the container's moniker: the page's URL in a browser.
std::optional<std::wstring> addressFromMoniker(IUnknown* site) {
  ComPtr<IOleClientSite> client = ComPtr<IUnknown>(site).query<IOleClientSite>(IID_IOleClientSite);
  ComPtr<IMoniker> moniker;
  ComPtr<IBindCtx> context;
  if (!client || FAILED(client->GetMoniker(OLEGETMONIKER_ONLYIFTHERE, OLEWHICHMK_CONTAINER, moniker.put())) ||
      !moniker || FAILED(CreateBindCtx(0, context.put())))
    return std::nullopt;
  LPOLESTR name = nullptr;
  if (FAILED(moniker->GetDisplayName(context.get(), nullptr, &name)) || !name) return std::nullopt;
  std::wstring address(name);
  CoTaskMemFree(name);
  return address;
}

}  // namespace

std::optional<std::wstring> pageAddressOf(IUnknown* site) {
  if (!site) return std::nullopt;
  if (std::optional<std::wstring> address = addressFromMoniker(site)) return address;
  return addressFromBrowser(site);
}

SiteLock::SiteLock() : machine_(readMachineSiteSettings()) {}

bool SiteLock::learnPageFrom(IUnknown* site) {
  // A page that is already judged stays judged, whatever site comes later.
  if (!site || state_ != State::NoPage) return false;
  pageAddress_ = pageAddressOf(site);
  // The local service's own container: the service asked its user itself.
  if (pageAddress_ && *pageAddress_ == kLocalServicePageAddress) {
    state_ = State::Allowed;
    return true;
  }
  std::optional<std::string> address;
  if (pageAddress_) address = utf8FromWide(*pageAddress_);
  switch (judgePage(address, machine_, userApprovedOrigins())) {
    case SiteVerdict::Allow: state_ = State::Allowed; break;
    case SiteVerdict::AskUser: state_ = State::AskUser; break;
    case SiteVerdict::Refuse: state_ = State::Refused; break;
  }
  return true;
}

bool SiteLock::admit() {
  if (state_ != State::AskUser) return allows();
  // While the question is up the page's messages still run; a call that
  // comes in meanwhile is refused rather than asked about a second time.
  state_ = State::Asking;
  std::optional<Origin> page = originOfAddress(utf8FromWide(*pageAddress_));
  std::string origin = originText(*page);
  // The site in bold, as the service shows it, so a look-alike host reads as
  // the site it belongs to.
  switch (askUserAbout(origin, registrableDomain(page->host))) {
    case Consent::AlwaysAllow:
      addUserApproval(origin);
      state_ = State::Allowed;
      break;
    case Consent::AllowOnce: state_ = State::Allowed; break;
    case Consent::Deny: state_ = State::Refused; break;
  }
  return allows();
}

std::wstring SiteLock::refusal() const {
  if (!pageAddress_) return L"Pagewell is not allowed here: the page's address is unknown";
  // The origin, not the whole address: short, one line, and what the
  // administrator would put on the list.
  std::optional<Origin> origin = originOfAddress(utf8FromWide(*pageAddress_));
  if (!origin) return L"Pagewell is not allowed on this page: it has no web origin";
  return L"Pagewell is not allowed on " + wideFromUtf8(originText(*origin));
}

}  // namespace pagewell
