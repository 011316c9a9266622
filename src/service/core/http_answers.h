#pragma once
// The HTTP answers the service gives. Every answer but the WebSocket
// upgrade closes the connection, and the CORS fields, when present, name
// the one origin that was admitted (never "*").
#include <string>
#include <string_view>

#include "http_request.h"

namespace pagewell::service {

// 403 with a one-line reason; no CORS fields, so the page learns nothing.
std::string forbiddenAnswer(std::string_view reason);
// 400, 404, 405 or 431 with a one-line reason, for an admitted origin.
std::string errorAnswer(int status, std::string_view reason, std::string_view origin);
// The answer to a CORS preflight (Fetch standard, "CORS-preflight fetch")
// of an admitted origin: only GET is allowed, no request headers beyond the
// safelisted ones; a private-network preflight is answered yes.
std::string preflightAnswer(const HttpRequest& request, std::string_view origin);
// 200 with a JSON body, readable by the admitted origin.
std::string jsonAnswer(std::string_view json, std::string_view origin);
// 101 Switching Protocols for a WebSocket client key.
std::string upgradeAnswer(std::string_view clientKey);

// True if the Host field names this service: 127.0.0.1, localhost or [::1]
// with the service's port. Anything else may be a DNS-rebinding page that
// reaches the loopback address under a name of its own.
bool isServiceHost(std::string_view host, unsigned port);

}  // namespace pagewell::service
