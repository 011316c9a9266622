#include "upload/windows/wininet_client.h"

#include <windows.h>
#include <wininet.h>

#include <string>

#include "upload/basic_authorization.h"

namespace pagewell {
namespace {

// Keep-alive for both schemes. For https: TLS with the server's certificate
// checked in full: its issuer, its dates, and the host name in it
// (INTERNET_FLAG_IGNORE_CERT_CN_INVALID is not set: without that check
// anyone holding a certificate for any name could receive the documents
// and the password). Not every WinInet checks the dates itself, so the
// request checks them too (certificateInDates). An https upload follows no
// redirect (see WinInetClient::Options), and the flags that would let it
// change scheme on a redirect are not set either.
constexpr DWORD kHttpFlags = INTERNET_FLAG_KEEP_CONNECTION;
constexpr DWORD kHttpsFlags = INTERNET_FLAG_SECURE | INTERNET_FLAG_KEEP_CONNECTION | INTERNET_FLAG_NO_AUTO_REDIRECT;

DWORD requestFlags(bool secure, const WinInetClient::Options& options) {
  DWORD flags = secure ? kHttpsFlags : kHttpFlags;
  if (!options.ambientCredentials) flags |= INTERNET_FLAG_NO_COOKIES | INTERNET_FLAG_NO_AUTH;
  if (!options.followRedirects) flags |= INTERNET_FLAG_NO_AUTO_REDIRECT;
  return flags;
}

class InternetHandle {
 public:
  explicit InternetHandle(HINTERNET handle = nullptr) : handle_(handle) {}
  ~InternetHandle() {
    if (handle_) InternetCloseHandle(handle_);
  }
  InternetHandle(InternetHandle&& other) noexcept : handle_(other.handle_) { other.handle_ = nullptr; }
  InternetHandle(const InternetHandle&) = delete;
  InternetHandle& operator=(const InternetHandle&) = delete;
  HINTERNET get() const { return handle_; }
  explicit operator bool() const { return handle_ != nullptr; }
  void reset() {
    if (handle_) InternetCloseHandle(handle_);
    handle_ = nullptr;
  }

 private:
  HINTERNET handle_;
};

// The receive time-out on the internet handle alone is not honoured
// everywhere; it is set on each handle below it too. Sending waits as long
// as receiving may, so no network wait is unbounded.
void setTimeouts(HINTERNET handle, DWORD milliseconds) {
  InternetSetOptionA(handle, INTERNET_OPTION_RECEIVE_TIMEOUT, &milliseconds, sizeof milliseconds);
  InternetSetOptionA(handle, INTERNET_OPTION_SEND_TIMEOUT, &milliseconds, sizeof milliseconds);
}

DWORD queryNumber(HINTERNET request, DWORD what) {
  DWORD value = 0, size = sizeof value;
  if (!HttpQueryInfoA(request, what | HTTP_QUERY_FLAG_NUMBER, &value, &size, nullptr)) return 0;
  return value;
}

std::string queryText(HINTERNET request, DWORD what) {
  std::string text(1024, '\0');
  DWORD size = static_cast<DWORD>(text.size());
  if (!HttpQueryInfoA(request, what, text.data(), &size, nullptr)) return {};
  text.resize(size);
  return text;
}

// Frees the texts WinInet allocated for a certificate description.
void freeCertificateTexts(INTERNET_CERTIFICATE_INFO& info) {
  for (LPTSTR text : {info.lpszSubjectInfo, info.lpszIssuerInfo, info.lpszProtocolName, info.lpszSignatureAlgName,
                     info.lpszEncryptionAlgName})
    if (text) LocalFree(text);
}

// Whether the certificate the server showed in the handshake just made on
// `request` is within its dates now. False when it cannot be read: an
// https request that got this far has one.
bool certificateInDates(HINTERNET request) {
  INTERNET_CERTIFICATE_INFO info{};
  DWORD size = sizeof info;
  if (!InternetQueryOptionA(request, INTERNET_OPTION_SECURITY_CERTIFICATE_STRUCT, &info, &size)) return false;
  FILETIME now;
  GetSystemTimeAsFileTime(&now);
  const bool inDates = CompareFileTime(&now, &info.ftStart) >= 0 && CompareFileTime(&now, &info.ftExpiry) <= 0;
  freeCertificateTexts(info);
  return inDates;
}

class WinInetRequest final : public HttpRequestChannel {
 public:
  WinInetRequest(InternetHandle connection, HINTERNET request, const HttpTarget& target, DWORD timeoutMs, DWORD flags)
      : connection_(std::move(connection)), request_(request), target_(target), timeoutMs_(timeoutMs), flags_(flags) {}

  void sendWithoutBody() override {
    // On a request handle of its own: a handle remembers the headers of
    // its last send, and a bodiless send would leave "Content-Length: 0"
    // behind for the POST.
    InternetHandle probe(openPost(connection_.get(), target_, flags_));
    if (!probe) return;
    setTimeouts(probe.get(), timeoutMs_);
    if (!HttpSendRequestA(probe.get(), nullptr, 0, nullptr, 0)) return;
    if (!serverTrusted(probe.get())) return refuse();
    drainReply(probe.get());
  }

  bool beginBody(const std::string& header, std::uint64_t total) override {
    INTERNET_BUFFERSA buffers{};
    buffers.dwStructSize = sizeof buffers;
    buffers.lpcszHeader = header.c_str();
    buffers.dwHeadersLength = static_cast<DWORD>(header.size());
    buffers.dwHeadersTotal = static_cast<DWORD>(header.size());
    buffers.dwBufferTotal = static_cast<DWORD>(total);
    if (!HttpSendRequestExA(request_.get(), &buffers, nullptr, HSR_INITIATE, 0)) return false;
    // The handshake is done and no byte of the body has gone out yet.
    if (serverTrusted(request_.get())) return true;
    refuse();
    return false;
  }

  void setReceiveTimeout(std::uint32_t milliseconds) override {
    DWORD value = milliseconds;
    InternetSetOptionA(request_.get(), INTERNET_OPTION_RECEIVE_TIMEOUT, &value, sizeof value);
  }

  bool writeBody(const std::uint8_t* bytes, std::uint32_t count, std::uint32_t& written) override {
    DWORD done = 0;
    const BOOL ok = InternetWriteFile(request_.get(), bytes, count, &done);
    written = done;
    return ok != FALSE;
  }

  void endBody() override { HttpEndRequestA(request_.get(), nullptr, HSR_INITIATE, 0); }

  std::uint32_t statusCode() override { return queryNumber(request_.get(), HTTP_QUERY_STATUS_CODE); }

  std::uint32_t contentLength() override { return queryNumber(request_.get(), HTTP_QUERY_CONTENT_LENGTH); }

  void setCredentials(const std::string& user, const std::string& password) override {
    InternetSetOptionA(request_.get(), INTERNET_OPTION_USERNAME, const_cast<char*>(user.c_str()),
                       static_cast<DWORD>(user.size()));
    InternetSetOptionA(request_.get(), INTERNET_OPTION_PASSWORD, const_cast<char*>(password.c_str()),
                       static_cast<DWORD>(password.size()));
    // Not every WinInet adds the header after the options are set; for a
    // Basic challenge the header is added here as well.
    if (!IsBasicChallenge(queryText(request_.get(), HTTP_QUERY_WWW_AUTHENTICATE))) return;
    const std::string header = BasicAuthorizationHeader(user, password);
    HttpAddRequestHeadersA(request_.get(), header.c_str(), static_cast<DWORD>(header.size()),
                           HTTP_ADDREQ_FLAG_ADD | HTTP_ADDREQ_FLAG_REPLACE);
  }

  std::uint32_t readReply(std::uint8_t* into, std::uint32_t count) override {
    DWORD read = 0;
    if (!InternetReadFile(request_.get(), into, count, &read)) return 0;
    return read;
  }

  static HINTERNET openPost(HINTERNET connection, const HttpTarget& target, DWORD flags) {
    return HttpOpenRequestA(connection, "POST", target.pathAndQuery.c_str(), nullptr, nullptr, nullptr, flags, 0);
  }

 private:
  bool serverTrusted(HINTERNET request) const { return !target_.secure || certificateInDates(request); }

  // Drops the request and its connection before the body or credentials
  // go out: every later step then fails as on a closed connection (no
  // status, no reply).
  void refuse() { request_.reset(); }

  static void drainReply(HINTERNET request) {
    char buffer[4096];
    DWORD read = 0;
    while (InternetReadFile(request, buffer, sizeof buffer, &read) && read > 0) {
    }
  }

  // Closed in this order: the request, then its connection.
  InternetHandle connection_;
  InternetHandle request_;
  HttpTarget target_;
  DWORD timeoutMs_;
  DWORD flags_;
};

class WinInetSession final : public HttpSession {
 public:
  WinInetSession(HINTERNET internet, DWORD timeoutMs, const WinInetClient::Options& options)
      : internet_(internet), timeoutMs_(timeoutMs), options_(options) {}

  std::unique_ptr<HttpRequestChannel> openRequest(const HttpTarget& target) override {
    // Empty credentials go to the connection as empty texts.
    InternetHandle connection(InternetConnectA(internet_.get(), target.host.c_str(), target.port,
                                               target.user.c_str(), target.password.c_str(),
                                               INTERNET_SERVICE_HTTP, 0, 0));
    if (!connection) return nullptr;
    setTimeouts(connection.get(), timeoutMs_);
    const DWORD flags = requestFlags(target.secure, options_);
    HINTERNET request = WinInetRequest::openPost(connection.get(), target, flags);
    if (!request) return nullptr;
    setTimeouts(request, timeoutMs_);
    return std::make_unique<WinInetRequest>(std::move(connection), request, target, timeoutMs_, flags);
  }

 private:
  InternetHandle internet_;
  DWORD timeoutMs_;
  WinInetClient::Options options_;
};

}  // namespace

std::unique_ptr<HttpSession> WinInetClient::openSession(std::uint32_t receiveTimeoutMs) {
  HINTERNET internet = InternetOpenA("", INTERNET_OPEN_TYPE_PRECONFIG, nullptr, nullptr, 0);
  if (!internet) return nullptr;
  DWORD timeout = receiveTimeoutMs;
  InternetSetOptionA(internet, INTERNET_OPTION_RECEIVE_TIMEOUT, &timeout, sizeof timeout);
  return std::make_unique<WinInetSession>(internet, receiveTimeoutMs, options_);
}

}  // namespace pagewell
