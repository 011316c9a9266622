#pragma once
// Where an upload from a served page may go (portable, no Windows).
//
// The local service hands a page in a current browser a control of its
// own. The browser would let that page send its data only to servers that
// agree to take it (CORS); the control sends with the user's network
// position and no such check. So a served control uploads only to the
// page's own origin, or to an origin the administrator lists under the
// machine policy UploadTargets (entries as for AllowedOrigins, see
// allowed_origins.h). A page that needs another server takes the bytes
// itself and sends them with fetch.
//
// The destination is judged as the transport will connect: the scheme,
// host and port the URL splitter gave, not a second reading of the URL.
#include <optional>
#include <string>
#include <vector>

#include "allowed_origins.h"
#include "upload/url_parts.h"

namespace pagewell {

// Nothing when the served page at `pageAddress` may upload to the split
// upload URL `destination`; otherwise the message the page sees.
// `destination` is nothing when the upload URL did not split.
std::optional<std::string> RefusedUploadMessage(const std::optional<UrlParts>& destination,
                                                const std::string& pageAddress,
                                                const std::vector<std::string>& uploadTargets);

}  // namespace pagewell
