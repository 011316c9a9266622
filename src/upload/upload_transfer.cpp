#include "upload/upload_transfer.h"

#include <algorithm>
#include <limits>

#include "upload/multipart_body.h"

namespace pagewell {
namespace {

constexpr std::uint32_t kUnauthorized = 401;

std::uint32_t receiveTimeoutMs(int seconds) {
  // Past what 32 bits of milliseconds hold, the longest wait there is. A
  // time-out of 0 would tell WinInet to wait without end, blocking the page
  // for good on a server that never answers: it waits one second instead.
  const std::uint64_t ms = static_cast<std::uint64_t>(std::max(seconds, 1)) * 1000;
  return static_cast<std::uint32_t>(std::min<std::uint64_t>(ms, std::numeric_limits<std::uint32_t>::max()));
}

// Credentials from the URL win over the page's properties. The password
// stays as it was when neither names one, so a password typed into the
// dialog outlives a URL that carries only a user name.
void settleEffectiveCredentials(UploadMemory& memory, const UrlParts& url, const UploadRequestSettings& settings) {
  memory.effective.user = !url.userName.empty() ? url.userName : settings.username;
  if (!url.password.empty())
    memory.effective.password = url.password;
  else if (!settings.password.empty())
    memory.effective.password = settings.password;
}

bool credentialsComplete(const UploadCredentials& credentials) {
  return !credentials.user.empty() && !credentials.password.empty();
}

struct Attempt {
  std::uint64_t sent = 0;
  std::uint64_t total = 0;
  std::uint32_t status = 0;
  bool aborted = false;
};

// Sends the body in pieces, keeping the form live after each. Each piece
// is read from the body just before it is written; a piece that cannot be
// read ends the attempt as a write that sent nothing does (the request is
// ended and its status read, and the upload has failed). Stops at once on
// abort, without ending the request.
void sendBodyPieces(HttpRequestChannel& request, UploadUi& ui, const UploadRequestSettings& settings,
                    TUploadData& body, Attempt& attempt) {
  request.setReceiveTimeout(receiveTimeoutMs(settings.timeoutSeconds));
  std::vector<std::uint8_t> piece(kUploadPieceSize);
  for (bool lastRound = false; !lastRound;) {
    const auto size = static_cast<std::uint32_t>(std::min<std::uint64_t>(kUploadPieceSize, attempt.total - attempt.sent));
    std::uint32_t written = 0;
    const bool wrote =
        body.ReadAt(attempt.sent, piece.data(), size) && request.writeBody(piece.data(), size, written);
    written = std::min(written, size);  // never believe more than was offered
    lastRound = !wrote || written == 0;
    attempt.sent += written;
    const int percent = static_cast<int>(attempt.sent * 100 / attempt.total);
    ui.showProgress(percent, UploadProgressText(settings.uploadingText, percent));
    ui.processMessages();
    if (ui.abortRequested()) {
      attempt.aborted = true;
      return;
    }
  }
}

Attempt makeAttempt(HttpRequestChannel& request, UploadUi& ui, const UploadRequestSettings& settings,
                    TUploadData& data, const std::vector<std::string>& formVars) {
  // Every attempt reads the body from its start, so a retry sends an
  // identical body.
  TMultipartBody body(MakeMultipartFrame(data.Size(), formVars, settings.fileName, settings.fieldName,
                                         settings.format, settings.registeredContentType),
                      data);
  Attempt attempt;
  attempt.total = body.Size();
  if (request.beginBody(kMultipartHeader, attempt.total)) {
    sendBodyPieces(request, ui, settings, body, attempt);
    if (attempt.aborted) return attempt;
  }
  request.endBody();
  attempt.status = request.statusCode();
  return attempt;
}

// After a first 401: credentials that are known, or else the dialog's.
bool prepareRetry(HttpRequestChannel& request, UploadUi& ui, UploadMemory& memory) {
  if (!credentialsComplete(memory.effective)) {
    std::optional<UploadCredentials> typed = ui.askCredentials(memory.host);
    if (!typed) return false;
    memory.effective = *typed;
  }
  request.setCredentials(memory.effective.user, memory.effective.password);
  return true;
}

}  // namespace

std::wstring UploadProgressText(const std::wstring& uploadingText, int percent) {
  return uploadingText + L"... " + std::to_wstring(percent) + L"%";
}

std::string ReadUploadReply(HttpRequestChannel& request) {
  std::uint32_t limit = std::min(request.contentLength(), kReplyLimitWithLength);
  if (limit == 0) limit = kReplyLimitWithoutLength;
  std::string reply(limit, '\0');
  std::uint32_t received = 0;
  // One read gives what has arrived so far, which may be only the start.
  while (received < limit) {
    const std::uint32_t wanted = limit - received;
    const std::uint32_t got = std::min(request.readReply(reinterpret_cast<std::uint8_t*>(&reply[received]), wanted), wanted);
    if (got == 0) break;
    received += got;
  }
  reply.resize(received);
  return reply.substr(0, reply.find('\0'));
}

bool SendUploadRequest(HttpRequestChannel& request, UploadUi& ui, UploadMemory& memory,
                       const UploadRequestSettings& settings, const TMemoryStream& data,
                       const std::vector<std::string>& formVars) {
  TMemoryUploadData file(data);
  return SendUploadRequest(request, ui, memory, settings, file, formVars);
}

bool SendUploadRequest(HttpRequestChannel& request, UploadUi& ui, UploadMemory& memory,
                       const UploadRequestSettings& settings, TUploadData& data,
                       const std::vector<std::string>& formVars) {
  memory.returnString.clear();
  if (settings.authenticationType == 1) request.sendWithoutBody();

  Attempt attempt;
  for (bool retryMark = false;;) {
    attempt = makeAttempt(request, ui, settings, data, formVars);
    if (attempt.aborted) return false;
    retryMark = attempt.status == kUnauthorized && !retryMark && prepareRetry(request, ui, memory);
    if (!retryMark) break;
  }

  const bool result = attempt.sent >= attempt.total && attempt.status == 200;
  memory.status = static_cast<int>(attempt.status);
  memory.returnString = ReadUploadReply(request);
  return result;
}

bool TransferUpload(HttpClient& client, UploadUi& ui, UploadMemory& memory, const std::optional<UrlParts>& url,
                    const UploadRequestSettings& settings, const TMemoryStream& data,
                    const std::vector<std::string>& formVars) {
  TMemoryUploadData file(data);
  return TransferUpload(client, ui, memory, url, settings, file, formVars);
}

bool TransferUpload(HttpClient& client, UploadUi& ui, UploadMemory& memory, const std::optional<UrlParts>& url,
                    const UploadRequestSettings& settings, TUploadData& data,
                    const std::vector<std::string>& formVars) {
  const UrlParts parts = url.value_or(UrlParts{});
  memory.host = parts.host;
  // After a success the credentials that worked are kept as they are.
  if (memory.status != 200) settleEffectiveCredentials(memory, parts, settings);
  memory.status = 0;

  std::unique_ptr<HttpSession> session = client.openSession(receiveTimeoutMs(settings.timeoutSeconds));
  if (!session) return false;
  if (settings.authenticationType == 1 && !credentialsComplete(memory.effective)) {
    std::optional<UploadCredentials> typed = ui.askCredentials(memory.host);
    if (!typed) return false;
    memory.effective = *typed;
  }
  // The scheme is compared exactly: "HTTP" or "ftp" open no request.
  if (parts.scheme != "http" && parts.scheme != "https") return false;

  HttpTarget target;
  target.host = parts.host;
  target.port = parts.port;
  target.secure = parts.scheme == "https";
  target.pathAndQuery = parts.path + parts.extraInfo;
  target.user = memory.effective.user;
  target.password = memory.effective.password;
  std::unique_ptr<HttpRequestChannel> request = session->openRequest(target);
  if (!request) return false;

  const bool succeeded = SendUploadRequest(*request, ui, memory, settings, data, formVars);
  ui.processMessages();
  if (ui.abortRequested()) memory.status = 1;
  return succeeded;
}

}  // namespace pagewell
