#pragma once
// The Authorization header of HTTP Basic authentication (RFC 7617). The
// upload adds it itself when a server's challenge is Basic: some WinInet
// builds send no Authorization header after the credential options are set.
#include <string>

namespace pagewell {

// "Authorization: Basic " + base64(user ":" password), without a line end.
std::string BasicAuthorizationHeader(const std::string& user, const std::string& password);

// True when a WWW-Authenticate value offers the Basic scheme.
bool IsBasicChallenge(const std::string& challenge);

}  // namespace pagewell
