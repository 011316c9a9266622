#pragma once
// Splitting the upload URL with WinInet's URL splitter.
#include <string>

#include "upload/url_parts.h"

namespace pagewell {

// Splits `url` ("http://" is assumed when it names no scheme). False when
// it does not split, or names a port past 65535; `parts` is then untouched.
bool CrackURL(const std::string& url, UrlParts& parts);

}  // namespace pagewell
