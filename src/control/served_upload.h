#pragma once
// What changes for an upload when the control serves a page of the local
// service (page_address.h): where it may go (upload_destination.h) and
// what the transport leaves out.
#include <optional>
#include <string>

#include "page_address.h"
#include "upload/url_parts.h"
#include "upload/windows/wininet_client.h"

namespace pagewell {

// Nothing when the upload may go to `url` (every upload of a control that
// is not served); otherwise why not, for the page. Reads the machine's
// UploadTargets policy afresh, so an administrator's change applies to
// the next upload.
std::optional<std::string> RefusedServedUpload(const PageAddress& page, const std::optional<UrlParts>& url);

// The transport for the page: a served page's upload carries none of the
// user's ambient credentials (cookies, Windows logon) and follows no
// redirect, which would take the body, and the reply the page reads, to a
// server the origin rule never admitted.
WinInetClient::Options TransportOptionsFor(const PageAddress& page);

}  // namespace pagewell
