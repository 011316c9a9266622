#include "http_request.h"

namespace pagewell::service {
namespace {

bool isTokenChar(char c) {
  return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9') ||
         std::string_view("!#$%&'*+-.^_`|~").find(c) != std::string_view::npos;
}

bool isToken(std::string_view text) {
  if (text.empty()) return false;
  for (char c : text)
    if (!isTokenChar(c)) return false;
  return true;
}

// Visible ASCII, spaces and tabs; no other control characters.
bool isFieldValue(std::string_view text) {
  for (char c : text) {
    unsigned char u = static_cast<unsigned char>(c);
    if ((u < 0x20 && c != '\t') || u == 0x7F) return false;
  }
  return true;
}

std::string_view trimmed(std::string_view text) {
  while (!text.empty() && (text.front() == ' ' || text.front() == '\t')) text.remove_prefix(1);
  while (!text.empty() && (text.back() == ' ' || text.back() == '\t')) text.remove_suffix(1);
  return text;
}

// request-line = method SP request-target SP HTTP-version
bool parseRequestLine(std::string_view line, HttpRequest& request) {
  size_t first = line.find(' ');
  size_t second = first == std::string_view::npos ? first : line.find(' ', first + 1);
  if (second == std::string_view::npos) return false;
  std::string_view method = line.substr(0, first);
  std::string_view target = line.substr(first + 1, second - first - 1);
  if (!isToken(method) || target.empty() || target.front() != '/' || line.substr(second + 1) != "HTTP/1.1")
    return false;
  for (char c : target)
    if (static_cast<unsigned char>(c) <= 0x20 || static_cast<unsigned char>(c) >= 0x7F) return false;
  request.method = std::string(method);
  request.target = std::string(target);
  return true;
}

// field-line = field-name ":" OWS field-value OWS
bool parseFieldLine(std::string_view line, HttpRequest& request) {
  size_t colon = line.find(':');
  if (colon == std::string_view::npos || !isToken(line.substr(0, colon))) return false;
  std::string_view value = trimmed(line.substr(colon + 1));
  if (!isFieldValue(value)) return false;
  request.fields.emplace_back(toLowerAscii(line.substr(0, colon)), std::string(value));
  return true;
}

}  // namespace

std::string toLowerAscii(std::string_view text) {
  std::string lower(text);
  for (char& c : lower)
    if (c >= 'A' && c <= 'Z') c = static_cast<char>(c - 'A' + 'a');
  return lower;
}

std::optional<std::string> HttpRequest::field(std::string_view lowerCaseName) const {
  std::optional<std::string> found;
  for (const auto& [name, value] : fields) {
    if (name != lowerCaseName) continue;
    if (found) return std::nullopt;
    found = value;
  }
  return found;
}

std::optional<size_t> requestHeadEnd(std::string_view received) {
  size_t blank = received.find("\r\n\r\n");
  if (blank == std::string_view::npos) return std::nullopt;
  return blank + 4;
}

std::optional<HttpRequest> parseRequestHead(std::string_view head) {
  if (head.size() > kMaxRequestHeadBytes || head.size() < 4 || head.substr(head.size() - 4) != "\r\n\r\n")
    return std::nullopt;
  head.remove_suffix(2);
  HttpRequest request;
  bool firstLine = true;
  while (!head.empty()) {
    size_t end = head.find("\r\n");
    std::string_view line = head.substr(0, end);
    head.remove_prefix(end + 2);
    // A bare CR or LF inside a line would let two readers split it apart.
    if (line.find('\r') != std::string_view::npos || line.find('\n') != std::string_view::npos) return std::nullopt;
    bool ok = firstLine ? parseRequestLine(line, request) : parseFieldLine(line, request);
    if (!ok || request.fields.size() > kMaxHeaderFields) return std::nullopt;
    firstLine = false;
  }
  if (firstLine) return std::nullopt;
  return request;
}

bool headerListHas(std::string_view value, std::string_view token) {
  std::string lowerToken = toLowerAscii(token);
  while (!value.empty()) {
    size_t comma = value.find(',');
    std::string_view item = trimmed(value.substr(0, comma));
    if (toLowerAscii(item) == lowerToken) return true;
    if (comma == std::string_view::npos) break;
    value.remove_prefix(comma + 1);
  }
  return false;
}

}  // namespace pagewell::service
