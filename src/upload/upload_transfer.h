#pragma once
// The network half of an upload: from the split URL and the encoded file to
// the server's status and reply. It runs on the control's thread; the form
// keeps itself live through UploadUi between the pieces of the body.
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "formats/memory_stream.h"
#include "upload/content_type.h"
#include "upload/http_channel.h"
#include "upload/upload_data.h"
#include "upload/url_parts.h"

namespace pagewell {

struct UploadCredentials {
  std::string user, password;
};

// What the control keeps between uploads.
struct UploadMemory {
  int status = 0;            // UploadStatus
  std::string returnString;  // UploadReturnString, the server's bytes
  // The credentials used for the connection and the retry after a 401; the
  // ones typed into the password dialog are kept here, not in the page's
  // Username and Password.
  UploadCredentials effective;
  std::string host;  // from the last split of the URL, shown in the dialog
};

// What the page has set for this upload (texts in the ANSI code page).
struct UploadRequestSettings {
  std::string username, password;
  unsigned char authenticationType = 0;
  int timeoutSeconds = 60;
  std::string fileName;
  std::string fieldName = "Pagewell";
  int format = 0;
  RegisteredContentType registeredContentType;
  std::wstring uploadingText = L"Uploading";
};

// The form's side of an upload.
class UploadUi {
 public:
  // The progress bar's position and the label under way ("Uploading... 40%").
  virtual void showProgress(int percent, const std::wstring& label) = 0;
  virtual void processMessages() = 0;
  virtual bool abortRequested() = 0;
  // The password dialog for `host`; nothing when it was cancelled.
  virtual std::optional<UploadCredentials> askCredentials(const std::string& host) = 0;

 protected:
  ~UploadUi() = default;
};

inline constexpr std::uint32_t kUploadPieceSize = 4096;
// The reply is kept up to this many bytes when it announces its length...
inline constexpr std::uint32_t kReplyLimitWithLength = 51200;
// ...and up to this many when it does not.
inline constexpr std::uint32_t kReplyLimitWithoutLength = 2000;

// The label shown while the body goes out.
std::wstring UploadProgressText(const std::wstring& uploadingText, int percent);

// Splits up nothing itself: `url` is what the URL splitter gave, nothing
// when the URL did not split. Settles the effective credentials, opens the
// session (asking for credentials first when the page wants that), opens
// the request and sends the body. Sets memory.status to 0 before anything
// is opened and to 1 when the page aborted. True when the whole body went
// out and the server answered 200. The file is read piece by piece as the
// body goes out; a read that fails ends the attempt as a dropped
// connection does (the request is ended, its status kept, false answered).
bool TransferUpload(HttpClient& client, UploadUi& ui, UploadMemory& memory, const std::optional<UrlParts>& url,
                    const UploadRequestSettings& settings, TUploadData& data,
                    const std::vector<std::string>& formVars);
// The same for a file held in memory.
bool TransferUpload(HttpClient& client, UploadUi& ui, UploadMemory& memory, const std::optional<UrlParts>& url,
                    const UploadRequestSettings& settings, const TMemoryStream& data,
                    const std::vector<std::string>& formVars);

// Sends the body on an open request, answers one 401 with credentials and
// reads the reply. True when the whole body went out and the status was 200.
bool SendUploadRequest(HttpRequestChannel& request, UploadUi& ui, UploadMemory& memory,
                       const UploadRequestSettings& settings, TUploadData& data,
                       const std::vector<std::string>& formVars);
bool SendUploadRequest(HttpRequestChannel& request, UploadUi& ui, UploadMemory& memory,
                       const UploadRequestSettings& settings, const TMemoryStream& data,
                       const std::vector<std::string>& formVars);

// Reads the reply body up to the limit its Content-Length allows, as many
// reads as that takes, and cuts it at its first zero byte.
std::string ReadUploadReply(HttpRequestChannel& request);

}  // namespace pagewell
