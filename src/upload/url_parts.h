#pragma once
// The components of an upload URL, as the platform's URL splitter gives them.
#include <cstdint>
#include <string>

namespace pagewell {

struct UrlParts {
  std::string scheme;
  std::string host;
  std::uint16_t port = 0;
  std::string path;
  std::string userName;
  std::string password;
  std::string extraInfo;  // from "?" or "#" on
};

}  // namespace pagewell
