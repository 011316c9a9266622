#pragma once
// The upload's HTTP client on WinInet: one internet handle per upload, one
// connection and POST request on it.
#include "upload/http_channel.h"

namespace pagewell {

class WinInetClient final : public HttpClient {
 public:
  std::unique_ptr<HttpSession> openSession(std::uint32_t receiveTimeoutMs) override;
};

}  // namespace pagewell
