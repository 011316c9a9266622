#pragma once
// The devices the virtual scanner lists and how each behaves, read from the
// file named by PAGEWELL_VIRTUAL_SCANNER_CONFIG, or a built-in set when the
// variable is not set. The format is described in README.md.
#include <string>
#include <vector>

#include "page_renderer.h"

namespace virtual_scanner {

struct TDeviceConfig {
  std::string Name = "Pagewell Virtual Scanner";
  std::string Manufacturer = "Orlavex";

  std::vector<int> PixelTypes = {0, 1, 2};
  int PixelType = 2;
  bool PixelTypeAsOneValue = false;
  bool PixelTypeSettable = true;
  bool QuerySupportUInt16 = false;   // flags as TWTY_UINT16 instead of TWTY_INT32
  bool QuerySupportSet = true;       // TWQC_SET among the pixel type's and units' flags

  std::vector<int> Units = {0, 1};   // 0 inches, 1 centimetres
  int Unit = 0;
  bool UnitsAsOneValue = false;

  std::vector<double> Resolutions = {75, 100, 150, 200, 300, 600};  // dots per inch
  bool ResolutionRange = false;      // Resolutions holds minimum, maximum, step
  double Resolution = 100;

  double PhysicalWidth = 8.5, PhysicalHeight = 11.0;  // inches
  double Frame[4] = {0, 0, 8.5, 11.0};                // left, top, right, bottom in inches

  int Duplex = 0;
  bool DuplexEnabled = false;
  bool Feeder = false;
  bool AutoFeed = false;
  bool AutoPageSize = false;
  bool UIControllable = true;
  bool DeviceOnline = true;
  int OnlineAfter = 0;  // off line for this many CAP_DEVICEONLINE queries, then on line
  bool Indicators = true;
  int PixelFlavor = 0;
  bool Micr = false;
  std::vector<std::string> MicrTexts;
  bool ExtImageInfo = false;

  int Pages = 1;
  TPageContent DefaultPage;
  std::vector<std::pair<int, TPageContent>> PageContents;  // 1-based page number, content

  int DibBits = 0;
  bool WhiteFirst = false;
  bool ZeroResolution = false;
  bool TopDown = false;

  bool FailOpen = false;
  std::string Enable = "ok";  // ok, fail, cancel
  int CancelAtPage = 0;
  int FailAtPage = 0;
  int OfflineAtPage = 0;
  int CloseRequestAtPage = 0;
  int ShortDibAtPage = 0;  // that page's block holds half of what its header claims
  int LargePageAt = 0;     // that page's frame is four times as wide and as high

  const TPageContent& ContentOf(int page) const;
};

struct TScannerConfig {
  std::vector<TDeviceConfig> Devices;
  std::string Error;  // why the file was refused; the built-in set is used then
};

// Parses the configuration text; on an error the result holds the message
// and no devices.
TScannerConfig ParseScannerConfig(const std::string& text);
// The built-in devices.
TScannerConfig DefaultScannerConfig();
// The file named by the environment variable, or the built-in set.
TScannerConfig LoadScannerConfig();

constexpr const char* kConfigVariable = "PAGEWELL_VIRTUAL_SCANNER_CONFIG";

}  // namespace virtual_scanner
