// Feeds arbitrary received bytes to the service's HTTP request head reader,
// the WebSocket handshake checks and the Host check: whatever a page (or
// anything else on the machine) sends must be read without a crash and
// come out consistent:
// - the head ends just past the first blank line, never elsewhere;
// - a head that parses keeps to the limits, holds only what its grammar
//   allows (a token method, an origin-form target, lower-case token names,
//   trimmed values without control characters), and written back as a
//   plain head reads back as the same request;
// - a field is found only when it is present exactly once;
// - a WebSocket key is the request's own field and decodes to 16 bytes;
// - the Host check admits only the service's loopback names and port.
//
// Input: the bytes received.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string>
#include <string_view>

#include "core/base64.h"
#include "core/http_answers.h"
#include "core/http_request.h"
#include "core/websocket_handshake.h"

namespace {

using namespace pagewell::service;

constexpr unsigned kServicePort = 47115;

void check(bool condition) {
  if (!condition) std::abort();
}

bool hasControlCharacter(std::string_view text) {
  for (char c : text) {
    const unsigned char u = static_cast<unsigned char>(c);
    if ((u < 0x20 && c != '\t') || u == 0x7F) return true;
  }
  return false;
}

bool isTrimmed(std::string_view text) {
  return text.empty() || (text.front() != ' ' && text.front() != '\t' && text.back() != ' ' && text.back() != '\t');
}

void checkHeadEnd(std::string_view received) {
  const std::optional<size_t> end = requestHeadEnd(received);
  const size_t blank = received.find("\r\n\r\n");
  check(end.has_value() == (blank != std::string_view::npos));
  if (end) check(*end == blank + 4 && *end <= received.size());
}

// The request written back with no optional white space: never longer than
// the head it came from, so it stays within the limits too.
std::string plainHead(const HttpRequest& request) {
  std::string head = request.method + " " + request.target + " HTTP/1.1\r\n";
  for (const auto& [name, value] : request.fields) head += name + ":" + value + "\r\n";
  return head + "\r\n";
}

size_t occurrences(const HttpRequest& request, const std::string& name) {
  size_t count = 0;
  for (const auto& field : request.fields) count += field.first == name;
  return count;
}

void checkFields(const HttpRequest& request) {
  check(request.fields.size() <= kMaxHeaderFields);
  for (const auto& [name, value] : request.fields) {
    check(!name.empty() && toLowerAscii(name) == name && name.find(':') == std::string::npos);
    check(!hasControlCharacter(value) && isTrimmed(value));
    const std::optional<std::string> found = request.field(name);
    check(found.has_value() == (occurrences(request, name) == 1));
    if (found) check(*found == value);
    // A token is always among the list that ends with it.
    check(headerListHas(value + ", " + name, name));
  }
}

void checkHandshake(const HttpRequest& request) {
  if (isWebSocketUpgrade(request)) check(request.method == "GET" && request.field("upgrade") && request.field("connection"));
  const std::optional<std::string> key = websocketKey(request);
  if (!key) return;
  check(request.field("sec-websocket-version") == "13" && request.field("sec-websocket-key") == key);
  const auto nonce = base64Decode(*key);
  check(nonce && nonce->size() == 16);
  check(websocketAccept(*key).size() == 28);
}

void checkHost(const HttpRequest& request) {
  const std::optional<std::string> host = request.field("host");
  if (!host || !isServiceHost(*host, kServicePort)) return;
  const std::string lower = toLowerAscii(*host);
  check(lower == "127.0.0.1:47115" || lower == "localhost:47115" || lower == "[::1]:47115");
  check(!isServiceHost(*host, kServicePort + 1));
}

void checkRequest(std::string_view head, const HttpRequest& request) {
  check(head.size() <= kMaxRequestHeadBytes);
  check(!request.method.empty() && request.method.find_first_of(" \t\r\n") == std::string::npos);
  check(!request.target.empty() && request.target.front() == '/');
  for (char c : request.target) check(static_cast<unsigned char>(c) > 0x20 && static_cast<unsigned char>(c) < 0x7F);
  checkFields(request);
  const std::string written = plainHead(request);
  check(written.size() <= head.size() && requestHeadEnd(written) == written.size());
  const std::optional<HttpRequest> again = parseRequestHead(written);
  check(again && again->method == request.method && again->target == request.target && again->fields == request.fields);
  checkHandshake(request);
  checkHost(request);
}

void checkHead(std::string_view head) {
  const std::optional<HttpRequest> request = parseRequestHead(head);
  if (request) checkRequest(head, *request);
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const std::string_view received(reinterpret_cast<const char*>(data), size);
  checkHeadEnd(received);
  // As the connection reads it: the head up to the blank line; and the
  // whole input as a head, which reaches the limits and a missing blank line.
  if (const std::optional<size_t> end = requestHeadEnd(received)) checkHead(received.substr(0, *end));
  checkHead(received);
  // The Host check on any text, not only a field's.
  if (isServiceHost(received, kServicePort)) check(received.size() <= 15);
  return 0;
}
