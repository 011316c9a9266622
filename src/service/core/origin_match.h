#pragma once
// Whether a page's Origin (RFC 6454: scheme "://" host [":" port]) is one
// that an allowed-origins entry names. An entry is an exact origin
// ("https://shop.example.com", "http://localhost:8080") or a subdomain
// pattern ("https://*.example.com"), which matches every host below the
// domain on that scheme and port but not the domain itself.
#include <string_view>

namespace pagewell::service {

// Scheme and host compare without regard to ASCII case; the default port
// of the scheme may be written or left out ("https://a.com:443" is
// "https://a.com"). An origin that is not well formed ("null", paths,
// user names, empty hosts) matches nothing.
bool originMatches(std::string_view origin, std::string_view entry);

}  // namespace pagewell::service
