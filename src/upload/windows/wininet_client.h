#pragma once
// The upload's HTTP client on WinInet: one internet handle per upload, one
// connection and POST request on it.
#include "upload/http_channel.h"

namespace pagewell {

class WinInetClient final : public HttpClient {
 public:
  struct Options {
    // Cookies of the user's WinInet session and WinInet's own answers to
    // authentication challenges (Windows logon, remembered passwords). The
    // upload's own Basic authorization is sent either way.
    bool ambientCredentials = true;
    // Redirects of plain http uploads. An https upload never follows one:
    // it would send the body again, or drop it, at an address the page
    // never named, possibly without TLS.
    bool followRedirects = true;
  };

  WinInetClient() = default;
  explicit WinInetClient(const Options& options) : options_(options) {}
  std::unique_ptr<HttpSession> openSession(std::uint32_t receiveTimeoutMs) override;

 private:
  Options options_;
};

}  // namespace pagewell
