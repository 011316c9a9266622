#pragma once
// The upload's view of the HTTP client: an internet session, and on it one
// POST request at a time. The calls are the steps the upload makes, in the
// order it makes them, so the procedure can be driven against a scripted
// fake as well as against WinInet. Every call blocks, bounded by the
// receive time-out given when the session was opened.
#include <cstdint>
#include <memory>
#include <string>

namespace pagewell {

// Where and how one request is made.
struct HttpTarget {
  std::string host;
  std::uint16_t port = 0;
  bool secure = false;    // https: TLS with the server's certificate and host name verified
  std::string pathAndQuery;
  std::string user, password;  // for the connection; may be empty
};

// One open POST request (the connection and the request handle).
class HttpRequestChannel {
 public:
  virtual ~HttpRequestChannel() = default;
  // A request without body and without extra headers, made once before the
  // POST when the page asks for credentials up front; its outcome is ignored.
  virtual void sendWithoutBody() = 0;
  // Starts the POST with `header` and the body's total length; false when
  // the request could not be started.
  virtual bool beginBody(const std::string& header, std::uint64_t total) = 0;
  virtual void setReceiveTimeout(std::uint32_t milliseconds) = 0;
  // Sends `count` bytes; false on failure. `written` tells how many went out.
  virtual bool writeBody(const std::uint8_t* bytes, std::uint32_t count, std::uint32_t& written) = 0;
  // Ends the POST and waits for the reply's status line.
  virtual void endBody() = 0;
  // The reply's status code; 0 when no status line could be read.
  virtual std::uint32_t statusCode() = 0;
  // The reply's Content-Length; 0 when it has none or it can't be read.
  virtual std::uint32_t contentLength() = 0;
  // Credentials for sending the same request again after a 401.
  virtual void setCredentials(const std::string& user, const std::string& password) = 0;
  // Reads up to `count` bytes of the reply body; 0 at its end or on failure.
  virtual std::uint32_t readReply(std::uint8_t* into, std::uint32_t count) = 0;
};

// An open internet session.
class HttpSession {
 public:
  virtual ~HttpSession() = default;
  // Connects and opens a POST request; null when either fails.
  virtual std::unique_ptr<HttpRequestChannel> openRequest(const HttpTarget& target) = 0;
};

class HttpClient {
 public:
  virtual ~HttpClient() = default;
  // Null when no session can be opened.
  virtual std::unique_ptr<HttpSession> openSession(std::uint32_t receiveTimeoutMs) = 0;
};

}  // namespace pagewell
