#include "served_upload.h"

#include "machine_policy.h"
#include "text/wide_text.h"
#include "upload_destination.h"

namespace pagewell {

std::optional<std::string> RefusedServedUpload(const PageAddress& page, const std::optional<UrlParts>& url) {
  if (!page.served) return std::nullopt;
  return RefusedUploadMessage(url, utf8FromWide(page.address.value_or(L"")), ReadUploadTargetsPolicy());
}

WinInetClient::Options TransportOptionsFor(const PageAddress& page) {
  WinInetClient::Options options;
  options.ambientCredentials = !page.served;
  options.followRedirects = !page.served;
  return options;
}

}  // namespace pagewell
