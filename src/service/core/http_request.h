#pragma once
// The head of an HTTP/1.1 request (RFC 9112): request line and header
// fields, read strictly and within fixed limits. The service answers only
// its own pages' requests, so anything unusual is refused, not repaired.
#include <optional>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

namespace pagewell::service {

constexpr size_t kMaxRequestHeadBytes = 8192;
constexpr size_t kMaxHeaderFields = 64;

struct HttpRequest {
  std::string method;
  std::string target;
  std::vector<std::pair<std::string, std::string>> fields;  // names in lower case

  // The field's value; nothing when absent. A field the request repeats
  // counts as absent too: two Hosts or two Origins are not to be guessed.
  std::optional<std::string> field(std::string_view lowerCaseName) const;
};

// Where the head ends (just past the blank line), or nothing while it is
// incomplete.
std::optional<size_t> requestHeadEnd(std::string_view received);

// The request whose head is `head` (up to and including its blank line);
// nothing if it is malformed, over the limits or not HTTP/1.1.
std::optional<HttpRequest> parseRequestHead(std::string_view head);

// True if the comma-separated list `value` holds `token` (ASCII case ignored).
bool headerListHas(std::string_view value, std::string_view token);

std::string toLowerAscii(std::string_view text);

}  // namespace pagewell::service
