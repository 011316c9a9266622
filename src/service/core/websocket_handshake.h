#pragma once
// The server's half of the WebSocket opening handshake (RFC 6455 4.2).
#include <optional>
#include <string>
#include <string_view>

#include "http_request.h"

namespace pagewell::service {

// Sec-WebSocket-Accept for the client's key (RFC 6455 4.2.2 step 5.4):
// base64 of the SHA-1 of the key followed by the protocol's GUID.
std::string websocketAccept(std::string_view clientKey);

// True if the request asks for a WebSocket: GET, "Upgrade: websocket",
// "Connection: Upgrade" among its tokens (RFC 6455 4.2.1).
bool isWebSocketUpgrade(const HttpRequest& request);

// The client key of a well-formed upgrade (version 13, a key that is 16
// bytes in base64), or nothing.
std::optional<std::string> websocketKey(const HttpRequest& request);

}  // namespace pagewell::service
