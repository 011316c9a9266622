#include "site_lock.h"

#include <exdisp.h>
#include <oleidl.h>
#include <servprov.h>
#include <shlguid.h>

#include "allowed_origins.h"
#include "com/com_ptr.h"
#include "com/service_bridge.h"
#include "text/wide_text.h"

namespace pagewell {
namespace {

const wchar_t kPolicyKey[] = L"SOFTWARE\\Pagewell";
const wchar_t kPolicyValue[] = L"AllowedOrigins";
// Far more than any list of sites; a larger value is not a list we wrote.
constexpr DWORD kLargestPolicy = 64 * 1024;

// The strings of a REG_MULTI_SZ (or the one string of a REG_SZ) as UTF-8,
// whether or not the data ends with the terminating zeros it should have.
std::vector<std::string> stringsOfValue(const std::vector<wchar_t>& data) {
  std::vector<std::string> strings;
  std::wstring current;
  for (wchar_t c : data) {
    if (c != L'\0') {
      current += c;
    } else if (!current.empty()) {
      strings.push_back(utf8FromWide(current));
      current.clear();
    }
  }
  if (!current.empty()) strings.push_back(utf8FromWide(current));
  return strings;
}

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

std::optional<std::vector<std::string>> readAllowedOriginsPolicy() {
  // Both builds of the control read the one native policy: the 32-bit one on
  // 64-bit Windows would otherwise see the 32-bit registry view.
  HKEY key = nullptr;
  if (RegOpenKeyExW(HKEY_LOCAL_MACHINE, kPolicyKey, 0, KEY_QUERY_VALUE | KEY_WOW64_64KEY, &key) != ERROR_SUCCESS)
    return std::nullopt;
  DWORD type = 0, size = 0;
  LONG rc = RegQueryValueExW(key, kPolicyValue, nullptr, &type, nullptr, &size);
  if (rc == ERROR_FILE_NOT_FOUND) {
    RegCloseKey(key);
    return std::nullopt;
  }
  std::vector<std::string> origins;
  if (rc == ERROR_SUCCESS && (type == REG_MULTI_SZ || type == REG_SZ) && size <= kLargestPolicy) {
    std::vector<wchar_t> data(size / sizeof(wchar_t) + 1, L'\0');
    DWORD read = size;
    if (RegQueryValueExW(key, kPolicyValue, nullptr, &type, reinterpret_cast<BYTE*>(data.data()), &read) ==
        ERROR_SUCCESS)
      origins = policyEntries(stringsOfValue(data));
  }
  RegCloseKey(key);
  return origins;
}

std::optional<std::wstring> pageAddressOf(IUnknown* site) {
  if (!site) return std::nullopt;
  if (std::optional<std::wstring> address = addressFromMoniker(site)) return address;
  return addressFromBrowser(site);
}

SiteLock::SiteLock() : policy_(readAllowedOriginsPolicy()) {}

void SiteLock::learnPageFrom(IUnknown* site) {
  if (!engaged() || !site || refused_) return;
  pageAddress_ = pageAddressOf(site);
  allowed_ = pageAddress_ && (*pageAddress_ == kLocalServicePageAddress ||
                              isAddressAllowed(utf8FromWide(*pageAddress_), *policy_));
  refused_ = !allowed_;
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
