#include "websocket_handshake.h"

#include "base64.h"
#include "sha1.h"

namespace pagewell::service {

std::string websocketAccept(std::string_view clientKey) {
  std::string text(clientKey);
  text += "258EAFA5-E914-47DA-95CA-C5AB0DC85B11";
  auto digest = sha1(text);
  return base64Encode(digest.data(), digest.size());
}

bool isWebSocketUpgrade(const HttpRequest& request) {
  std::optional<std::string> upgrade = request.field("upgrade");
  std::optional<std::string> connection = request.field("connection");
  return request.method == "GET" && upgrade && headerListHas(*upgrade, "websocket") && connection &&
         headerListHas(*connection, "upgrade");
}

std::optional<std::string> websocketKey(const HttpRequest& request) {
  std::optional<std::string> version = request.field("sec-websocket-version");
  std::optional<std::string> key = request.field("sec-websocket-key");
  if (!version || *version != "13" || !key) return std::nullopt;
  std::optional<std::vector<uint8_t>> nonce = base64Decode(*key);
  if (!nonce || nonce->size() != 16) return std::nullopt;
  return key;
}

}  // namespace pagewell::service
