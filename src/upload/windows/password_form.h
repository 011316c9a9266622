#pragma once
// TfrmPassword: the modal "Enter Network Password" dialog that asks for a
// user name and a password for the upload's server.
#include <windows.h>

#include <optional>
#include <string>

#include "upload/upload_transfer.h"

namespace pagewell {

class TfrmPassword {
 public:
  static constexpr const wchar_t* kTitle = L"Enter Network Password";
  static constexpr int kClientWidth = 418;
  static constexpr int kClientHeight = 223;
  static constexpr WORD kSiteId = 101;
  static constexpr WORD kUsernameId = 102;
  static constexpr WORD kPasswordId = 103;

  // Shows the dialog for `site` (ANSI) and waits; the typed texts in the
  // ANSI code page on OK, nothing on Cancel or when the frame closed it.
  static std::optional<UploadCredentials> ask(HWND owner, const std::string& site);
};

}  // namespace pagewell
