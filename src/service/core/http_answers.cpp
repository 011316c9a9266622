#include "http_answers.h"

#include "websocket_handshake.h"

namespace pagewell::service {
namespace {

const char* reasonPhrase(int status) {
  switch (status) {
    case 200: return "OK";
    case 204: return "No Content";
    case 400: return "Bad Request";
    case 403: return "Forbidden";
    case 404: return "Not Found";
    case 405: return "Method Not Allowed";
    case 431: return "Request Header Fields Too Large";
    default: return "Error";
  }
}

std::string corsFields(std::string_view origin) {
  if (origin.empty()) return {};
  return "Access-Control-Allow-Origin: " + std::string(origin) + "\r\nVary: Origin\r\n";
}

std::string answer(int status, std::string_view extraFields, std::string_view contentType, std::string_view body) {
  std::string text = "HTTP/1.1 " + std::to_string(status) + " " + reasonPhrase(status) + "\r\n";
  text += extraFields;
  if (!body.empty()) text += "Content-Type: " + std::string(contentType) + "\r\n";
  text += "Content-Length: " + std::to_string(body.size()) + "\r\n";
  text += "Cache-Control: no-store\r\nConnection: close\r\n\r\n";
  text += body;
  return text;
}

}  // namespace

std::string forbiddenAnswer(std::string_view reason) {
  return answer(403, {}, "text/plain; charset=utf-8", std::string(reason) + "\n");
}

std::string errorAnswer(int status, std::string_view reason, std::string_view origin) {
  std::string fields = corsFields(origin);
  if (status == 405) fields += "Allow: GET, OPTIONS\r\n";
  return answer(status, fields, "text/plain; charset=utf-8", std::string(reason) + "\n");
}

std::string preflightAnswer(const HttpRequest& request, std::string_view origin) {
  std::string fields = corsFields(origin);
  fields += "Access-Control-Allow-Methods: GET\r\nAccess-Control-Max-Age: 600\r\n";
  std::optional<std::string> privateNetwork = request.field("access-control-request-private-network");
  if (privateNetwork && toLowerAscii(*privateNetwork) == "true")
    fields += "Access-Control-Allow-Private-Network: true\r\n";
  return answer(204, fields, {}, {});
}

std::string jsonAnswer(std::string_view json, std::string_view origin) {
  return answer(200, corsFields(origin), "application/json", json);
}

std::string upgradeAnswer(std::string_view clientKey) {
  return "HTTP/1.1 101 Switching Protocols\r\nUpgrade: websocket\r\nConnection: Upgrade\r\n"
         "Sec-WebSocket-Accept: " + websocketAccept(clientKey) + "\r\n\r\n";
}

bool isServiceHost(std::string_view host, unsigned port) {
  std::string lower = toLowerAscii(host);
  std::string suffix = ":" + std::to_string(port);
  for (const char* name : {"127.0.0.1", "localhost", "[::1]"})
    if (lower == name + suffix) return true;
  return false;
}

}  // namespace pagewell::service
