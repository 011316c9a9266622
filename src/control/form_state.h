#pragma once
// The form's own state besides its on-screen components, with the values it
// holds right after creation. State that a page can read and that has an
// on-screen control (check boxes, edits, radio buttons) lives in that
// control instead and is not repeated here.
#include <array>
#include <string>
#include <vector>

#include "page_address.h"

namespace pagewell {

struct LayoutConstants {
  int mainBorder = 5;
  int minimumMainSize = 100;
  int thumbnailGap = 16;
  int minimumThumbnailSize = 15;
  int labelRowHeight = 20;
  int navigationButtonHeight = 17;
  int minimumStripWidthBase = 185;
  int highlightMargin = 4;
  int outerMargin = 8;
};

struct PageSizeEntry {
  std::wstring name;
  double widthCm = 0;
  double heightCm = 0;
};

struct FormState {
  // Element layout (set through the element methods and ControlPanelTabs).
  bool debugAlerts = false;
  int controlPanelTabs = 3;
  LayoutConstants layout;
  int thumbRows = 3;
  int thumbnailWidth = 0, thumbnailHeight = 0, thumbnailColumns = 0;

  // Output.
  std::wstring fileFormat = L"FileName";
  bool saveLocalSuccess = false;
  std::wstring saveLocalError;

  // The page the control works for (written files are marked with it; a
  // served page's uploads keep to its origin).
  PageAddress page;

  // Upload.
  int uploadTimeout = 60;
  std::wstring uploadReturnString;
  std::wstring formTagName = L"Pagewell";
  bool abortUpload = false;
  std::wstring username, password, uploadUrl;
  int uploadStatus = 0;
  unsigned char authenticationType = 0;
  int maxUploadSize = 0;
  // Name=Value texts in the ANSI code page, as they go onto the network.
  std::vector<std::string> formVars;
  std::array<std::wstring, 4> statusTexts{L"Preparing to upload", L"Page", L"Uploading",
                                          L"Upload complete"};
  // The credentials used for the connection and the retry after a 401 (the
  // password dialog's are kept here, not in username/password) and the host
  // of the last split URL, in the ANSI code page.
  std::string effectiveUser, effectivePassword, uploadHost;
  // The hourglass stays over the form while an upload runs.
  bool uploadInProgress = false;

  // Pages (1-based; 0 = none).
  unsigned currentPage = 0;
  unsigned firstVisiblePage = 0;

  // Scan settings.
  std::array<std::wstring, 4> pixelTypeNames{L"Black and White", L"Grayscale", L"RGB Color",
                                             L"Paletted Color"};
  std::vector<int> pixelTypeCodes;
  std::array<std::wstring, 2> unitNames{L"inch", L"cm"};
  std::vector<PageSizeEntry> pageSizes;
  int maxListedResolutions = 20;
  bool resolutionListMode = false;
  bool deviceConnected = false;
  bool unitsUsable = false;
  bool resolutionUnavailable = false;
  int deviceUnit = 0;  // 0 = not set yet; else a unit code (1 inch, 2 cm)
  int pageSizeMode = 1;

  // Editing.
  bool cropInProgress = false;
};

}  // namespace pagewell
