// Scans from the viewer to the end: Wine's source manager with the virtual
// scanner as its source, every page becoming the viewer's image with one
// OnAcquire each, the end of the acquisition, and the MICR text kept.
#include <fstream>
#include <string>
#include <vector>

#include "page_renderer.h"
#include "viewer_test_support.h"

namespace pagewell::testing {
namespace {

using virtual_scanner::RenderPage;
using virtual_scanner::TPageContent;
using virtual_scanner::TScanSettings;

const char kConfig[] = R"(
[device]
name = Viewer Feeder
pixel_types = 0 1 2
pixel_type = 1
resolutions = 50 100
resolution = 50
frame = 0 0 3 2
feeder = yes
pages = 3
page2 = blank
page3 = text skew=3 specks=10

[device]
name = Viewer Cheque
pixel_types = 1
pixel_type = 1
pixel_type_container = onevalue
pixel_type_settable = no
micr = yes
extimageinfo = yes
micr_texts = c0001c a22a 333d | c0002c a22a 444d
pages = 2
frame = 0 0 3 1.5
resolution = 100

[device]
name = Viewer Interface
pixel_types = 2
pixel_type = 2
pages = 2
frame = 0 0 1 1
resolutions = 50
resolution = 50

[device]
name = Viewer Refuses
enableds = fail
)";

class ViewerScanTest : public ViewerTest {
 protected:
  static void SetUpTestSuite() {
    char folder[MAX_PATH];
    GetTempPathA(sizeof folder, folder);
    configPath = std::string(folder) + "pagewell-viewer-scan-test.ini";
    std::ofstream(configPath) << kConfig;
    SetEnvironmentVariableA("PAGEWELL_VIRTUAL_SCANNER_CONFIG", configPath.c_str());
  }
  static void TearDownTestSuite() {
    DeleteFileA(configPath.c_str());
    SetEnvironmentVariableA("PAGEWELL_VIRTUAL_SCANNER_CONFIG", nullptr);
  }

  // The main viewer as the form sets it up for a scan without the
  // device's own interface.
  TPWImage& ScanningViewer(const std::string& device) {
    TPWImage& v = MakeViewer(433, 433);
    v.SetTwainAppName("Brindlet");
    v.SetScaleToGray(true);
    v.SetShowUI(false);
    v.SetMultiImage(true);
    EXPECT_TRUE(v.SelectDeviceByName(device)) << device;
    return v;
  }

  static std::string configPath;
};

std::string ViewerScanTest::configPath;

TEST_F(ViewerScanTest, AcquireDeliversEveryPageAsTheViewersImageWithOneOnAcquireEach) {
  TPWImage& v = ScanningViewer("Viewer Feeder");
  EXPECT_TRUE(v.TwainCreated());
  EXPECT_EQ(v.DeviceIndex(), 0);
  EXPECT_EQ(v.TwainAppName(), "Brindlet");
  std::vector<TluBitmap> pages;
  int finished = 0;
  v.OnAcquire = [&](TluTwain& sender) {
    // The session's image is now the viewer's, and the view shows it.
    const TBMPImage* scanned = sender.CurrentImage();
    ASSERT_NE(scanned, nullptr);
    ASSERT_TRUE(v.ImageLoaded());
    EXPECT_EQ(v.ImageWidth(), scanned->Width());
    EXPECT_EQ(v.ImageHeight(), scanned->Height());
    pages.push_back(*v.Image());
  };
  v.OnAcquireFinish = [&](TluTwain&) { ++finished; };
  v.Acquire();
  ASSERT_EQ(pages.size(), 3u);
  EXPECT_EQ(finished, 1);
  TScanSettings settings;
  settings.PixelType = 1;
  settings.XDpi = settings.YDpi = 50;
  settings.Right = 3, settings.Bottom = 2;
  TPageContent text, blank, skewed;
  blank.Blank = true;
  skewed.SkewDegrees = 3;
  skewed.Specks = 10;
  const TPageContent contents[] = {text, blank, skewed};
  for (int i = 0; i < 3; ++i) {
    SCOPED_TRACE(i + 1);
    settings.PageNumber = i + 1;
    const auto expected = RenderPage(contents[i], settings);
    ASSERT_EQ(pages[i].Width(), expected.Width);
    ASSERT_EQ(pages[i].Height(), expected.Height);
    EXPECT_EQ(pages[i].ColorMode, cmGray256);
    int wrong = 0;
    for (int y = 0; y < expected.Height; ++y) {
      for (int x = 0; x < expected.Width; ++x) {
        wrong += pages[i].PixelColor(x, y) != expected.Colors[static_cast<std::size_t>(y) * expected.Width + x];
      }
    }
    EXPECT_EQ(wrong, 0);
  }
  // The last page stays in the viewer, laid out at zoom 100.
  EXPECT_EQ(v.ImageWidth(), 150);
  EXPECT_EQ(v.ContentWidth(), 150);
}

TEST_F(ViewerScanTest, AcquireKeepsTheMicrTextOfTheLastCheque) {
  TPWImage& v = ScanningViewer("Viewer Cheque");
  EXPECT_FALSE(v.MICRCapable());  // the capability's current value: not yet enabled
  v.SetMICREnabled(true);
  ASSERT_TRUE(v.MICRCapable());
  int acquired = 0;
  v.OnAcquire = [&](TluTwain&) { ++acquired; };
  v.Acquire();
  EXPECT_EQ(acquired, 2);
  EXPECT_EQ(v.MICRText(), L"c0002c a22a 444d");
  v.Clear();
  EXPECT_TRUE(v.MICRText().empty());
}

// Presses the virtual scanner's "Scan" button once its window is there.
void CALLBACK PressScanWhenShown(HWND, UINT, UINT_PTR timer, DWORD) {
  HWND window = FindWindowA("PagewellVirtualScannerWindow", nullptr);
  if (!window) return;
  KillTimer(nullptr, timer);
  PostMessageA(FindWindowExA(window, nullptr, "BUTTON", "Scan"), BM_CLICK, 0, 0);
}

// With the device's own interface kept open, the user scans a batch, then
// closes the interface: the pages arrive, then the end and the cancel, each
// once, and only then does the wait end.
TEST_F(ViewerScanTest, ClosingTheKeptInterfaceEndsTheAcquisitionWithCancel) {
  TPWImage& v = ScanningViewer("Viewer Interface");
  v.SetShowUI(true);
  v.SetKeepSourceEnabled(true);
  std::vector<std::string> events;
  v.OnAcquire = [&](TluTwain& session) {
    events.push_back("acquire");
    if (session.TransferredCount() < 2) return;
    HWND window = FindWindowA("PagewellVirtualScannerWindow", nullptr);
    ASSERT_NE(window, nullptr);
    PostMessageA(FindWindowExA(window, nullptr, "BUTTON", "Close"), BM_CLICK, 0, 0);
  };
  v.OnAcquireFinish = [&](TluTwain&) { events.push_back("finish"); };
  v.OnAcquireCancel = [&](TluTwain&) { events.push_back("cancel"); };
  SetTimer(nullptr, 0, 20, PressScanWhenShown);
  v.Acquire();
  const std::vector<std::string> expected = {"acquire", "acquire", "finish", "cancel"};
  EXPECT_EQ(events, expected);
  EXPECT_TRUE(v.ImageLoaded());
  EXPECT_EQ(FindWindowA("PagewellVirtualScannerWindow", nullptr), nullptr);
}

TEST_F(ViewerScanTest, AFailedEnableReachesTheCallerAsTwainError) {
  TPWImage& v = ScanningViewer("Viewer Refuses");
  int acquired = 0;
  v.OnAcquire = [&](TluTwain&) { ++acquired; };
  try {
    v.Acquire();
    ADD_FAILURE() << "no error";
  } catch (const ETwainError& error) {
    EXPECT_STREQ(error.what(), "Error during image acquire operation.");
  }
  EXPECT_EQ(acquired, 0);
  EXPECT_FALSE(v.ImageLoaded());
}

TEST_F(ViewerScanTest, DeviceOperationsPassToTheSessionWithTheirRangeRules) {
  TPWImage& v = MakeViewer(100, 100);
  const int count = v.DeviceCount();
  ASSERT_GE(count, 2);
  EXPECT_EQ(v.DeviceName(1), "Viewer Cheque");
  v.SetDeviceIndex(count);  // one past the last: ignored
  EXPECT_EQ(v.DeviceIndex(), -1);
  v.SetDeviceIndex(-2);
  EXPECT_EQ(v.DeviceIndex(), -1);
  // Without a device the session answers its neutral values.
  EXPECT_EQ(v.Units(), -1);
  EXPECT_EQ(v.PixelType(), -1);
  EXPECT_DOUBLE_EQ(v.PhysicalWidth(), -1.0);
  EXPECT_EQ(v.DuplexType(), 0);
  EXPECT_FALSE(v.MICRCapable());
  EXPECT_FALSE(v.SelectDeviceByName("No Such Scanner"));
  v.SetDeviceIndex(0);
  EXPECT_EQ(v.DeviceIndex(), 0);
  EXPECT_TRUE(v.DeviceOnline());
  EXPECT_EQ(v.PixelType(), 1);
  EXPECT_TRUE(v.PixelTypeSupported(2));
  v.SetPixelType(2);
  EXPECT_EQ(v.PixelType(), 2);
  EXPECT_EQ(v.ResolutionCount(), 2);
  EXPECT_DOUBLE_EQ(v.Resolution(), 50.0);
  EXPECT_DOUBLE_EQ(v.FrameRight(), 3.0);
  // The acquisition ends where the viewer waits, and a scan without a
  // device returns at once.
  v.SetDeviceIndex(-1);
  v.Acquire();
  EXPECT_FALSE(v.ImageLoaded());
}

}  // namespace
}  // namespace pagewell::testing
