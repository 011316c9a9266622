// The session against the real platform: Wine's source manager with the
// virtual scanner as its source. Each test scans and compares the delivered
// bitmaps with the pages the scanner renders for the negotiated settings.
#include <gtest/gtest.h>

#include <windows.h>

#include <fstream>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "page_renderer.h"
#include "twain/lu_twain.h"

namespace pagewell::testing {
namespace {

using namespace twain;
using virtual_scanner::RenderPage;
using virtual_scanner::TPageContent;
using virtual_scanner::TScanSettings;

const char kConfig[] = R"(
[device]
name = VS Flatbed
pixel_types = 0 1 2 3
pixel_type = 2
units = 0 1
resolutions = 50 60 70 75 80 90 100 110 120 130 140 150 160 170 180 190 200 220 240 260 280 300
resolution = 100
frame = 0 0 2 3
page = text photo
physical_width = 8.5
physical_height = 11

[device]
name = VS Feeder
pixel_types = 0 1 2
pixel_type = 1
resolution_range = 50 300 50
resolution = 100
frame = 0.5 0.5 3 4
duplex = 1
feeder = yes
auto_feed = yes
pages = 3
page2 = blank
page3 = text skew=3 specks=10

[device]
name = VS Cheque
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
name = VS Odd DIB
pixel_types = 0
pixel_type = 0
white_first = yes
zero_resolution = yes
top_down = yes
resolutions = 150
resolution = 150
frame = 1 1 2.5 2

[device]
name = VS Faults
pixel_types = 2
pixel_type = 2
pages = 3
fail_at_page = 2
frame = 0 0 1 1
resolution = 50
resolutions = 50

[device]
name = VS Closed
fail_opends = yes

[device]
name = VS Refuses
enableds = fail

[device]
name = VS Probe
pixel_types = 0 2
pixel_type = 2
pixel_type_container = onevalue
units = 0 1
unit = 0
units_container = onevalue
querysupport_type = uint16

[device]
name = VS Deep
dib_bits = 32
frame = 0 0 1 0.5
resolution = 100
)";

class VirtualScannerTest : public ::testing::Test {
 protected:
  static void SetUpTestSuite() {
    char folder[MAX_PATH];
    GetTempPathA(sizeof folder, folder);
    configPath = std::string(folder) + "pagewell-virtual-scanner-test.ini";
    std::ofstream(configPath) << kConfig;
    SetEnvironmentVariableA("PAGEWELL_VIRTUAL_SCANNER_CONFIG", configPath.c_str());
  }
  static void TearDownTestSuite() {
    DeleteFileA(configPath.c_str());
    SetEnvironmentVariableA("PAGEWELL_VIRTUAL_SCANNER_CONFIG", nullptr);
  }

  TluTwain& Open(const std::string& device) {
    // Wine's manager is one per process: the old session closes it before
    // the new one opens it.
    twain.reset();
    twain = std::make_unique<TluTwain>("Orlavex Pagewell", 1, 1, true);
    twain->SetCallbackMode(3);
    twain->SetShowUI(false);
    twain->OnImage = [this](TluTwain& t) {
      if (t.CurrentImage()) pages.push_back(*t.CurrentImage());
      micr.push_back(t.MICRText());
    };
    EXPECT_TRUE(twain->SelectDeviceByName(device)) << device;
    return *twain;
  }

  // Waits, serving messages, until the acquisition ends or a condition holds.
  // The first page a fresh Wine prefix renders waits for Wine to list the
  // installed fonts, which takes far longer than any later page.
  bool PumpUntil(const std::function<bool()>& done, DWORD timeoutMs = 120000) {
    const DWORD start = GetTickCount();
    while (!done()) {
      if (GetTickCount() - start > timeoutMs) return false;
      MSG message;
      while (PeekMessageA(&message, nullptr, 0, 0, PM_REMOVE)) {
        TranslateMessage(&message);
        DispatchMessageA(&message);
      }
      Sleep(1);
    }
    return true;
  }

  void Scan() {
    twain->Acquire();
    ASSERT_TRUE(PumpUntil([this] { return twain->AcquireDone(); })) << "the acquisition did not end";
  }

  // Checks a delivered page against what the scanner renders for it.
  static void ExpectPage(const TBMPImage& image, const TPageContent& content, const TScanSettings& settings,
                         TPixelFormat format) {
    const auto expected = RenderPage(content, settings);
    ASSERT_EQ(image.Width(), expected.Width);
    ASSERT_EQ(image.Height(), expected.Height);
    EXPECT_EQ(image.PixelFormat(), format);
    int wrong = 0;
    for (int y = 0; y < image.Height(); ++y)
      for (int x = 0; x < image.Width(); ++x)
        if (image.PixelColor(x, y) != expected.Colors[static_cast<std::size_t>(y) * expected.Width + x]) ++wrong;
    EXPECT_EQ(wrong, 0);
  }

  static std::string configPath;
  std::unique_ptr<TluTwain> twain;
  std::vector<TBMPImage> pages;
  std::vector<std::string> micr;
};

std::string VirtualScannerTest::configPath;

TEST_F(VirtualScannerTest, WinesManagerListsEveryConfiguredDeviceInOrder) {
  TluTwain& t = Open("VS Flatbed");
  const std::vector<std::string> expected = {"VS Flatbed", "VS Feeder", "VS Cheque", "VS Odd DIB", "VS Faults",
                                             "VS Closed",  "VS Refuses", "VS Probe", "VS Deep"};
  ASSERT_GE(t.DeviceCount(), static_cast<int>(expected.size()));
  for (std::size_t i = 0; i < expected.size(); ++i) EXPECT_EQ(t.DeviceName(static_cast<int>(i)), expected[i]);
  EXPECT_EQ(std::string(t.SourceIdentity().ProductName), "VS Flatbed");
}

TEST_F(VirtualScannerTest, NegotiatesTheFlatbed) {
  TluTwain& t = Open("VS Flatbed");
  EXPECT_TRUE(t.DeviceOnline());
  EXPECT_TRUE(t.UIControllable());
  EXPECT_EQ(t.PixelType(), 2);
  for (int type : {0, 1, 2, 3}) EXPECT_TRUE(t.PixelTypeSupported(type)) << type;
  EXPECT_FALSE(t.PixelTypeSupported(4));
  EXPECT_TRUE(t.UnitSupported(0));
  EXPECT_TRUE(t.UnitSupported(1));
  ASSERT_EQ(t.ResolutionCount(), 22);
  EXPECT_EQ(t.ResolutionValue(22), 300.0);
  t.SetResolution(150);
  EXPECT_EQ(t.Resolution(), 150.0);
  t.SetResolution(155);  // within the bounds but not offered: the source refuses
  EXPECT_EQ(t.Resolution(), 150.0);
  EXPECT_EQ(t.PhysicalWidth(), 8.5);
  t.SetFrame(0.5, 1.5, 0.25, 2.25);
  EXPECT_EQ(t.FrameLeft(), 0.5);
  EXPECT_EQ(t.FrameBottom(), 2.25);
  EXPECT_EQ(t.DuplexType(), 0);

  t.SetUnits(1);
  EXPECT_EQ(t.Units(), 1);
  EXPECT_NEAR(t.PhysicalWidth(), 8.5 * 2.54, 1e-3);
  EXPECT_NEAR(t.Resolution(), 150 / 2.54, 1e-3);
}

TEST_F(VirtualScannerTest, ScansAtEachPixelType) {
  struct Case {
    int pixelType;
    TPixelFormat format;
  };
  for (const Case& c : {Case{0, TPixelFormat::pf1bit}, Case{1, TPixelFormat::pf8bit}, Case{2, TPixelFormat::pf24bit},
                        Case{3, TPixelFormat::pf8bit}}) {
    SCOPED_TRACE(c.pixelType);
    pages.clear();
    TluTwain& t = Open("VS Flatbed");
    t.SetPixelType(c.pixelType);
    t.SetResolution(100);
    t.SetFrame(4, 6, 0.5, 2);
    Scan();
    ASSERT_EQ(pages.size(), 1u);
    EXPECT_EQ(pages[0].XPelsPerMeter, 3937);
    EXPECT_EQ(pages[0].YPelsPerMeter, 3937);
    TPageContent content;
    content.Photo = true;
    TScanSettings settings;
    settings.PixelType = c.pixelType;
    settings.XDpi = settings.YDpi = 100;
    settings.Left = 4, settings.Right = 6, settings.Top = 0.5, settings.Bottom = 2;
    ExpectPage(pages[0], content, settings, c.format);
    EXPECT_FALSE(t.SourceEnabled());
    EXPECT_TRUE(t.SourceOpen());
  }
}

TEST_F(VirtualScannerTest, ScansABatchFromTheFeeder) {
  TluTwain& t = Open("VS Feeder");
  EXPECT_EQ(t.DuplexType(), 1);
  EXPECT_TRUE(t.AutoFeed());
  ASSERT_EQ(t.ResolutionCount(), 6);
  EXPECT_EQ(t.ResolutionValue(6), 300.0);
  t.SetResolution(50);
  t.SetMultiImage(true);
  Scan();
  ASSERT_EQ(pages.size(), 3u);
  EXPECT_EQ(t.TransferredCount(), 3);
  TScanSettings settings;
  settings.PixelType = 1;
  settings.XDpi = settings.YDpi = 50;
  settings.Left = settings.Top = 0.5, settings.Right = 3, settings.Bottom = 4;
  TPageContent text, blank, skewed;
  blank.Blank = true;
  skewed.SkewDegrees = 3;
  skewed.Specks = 10;
  const TPageContent contents[] = {text, blank, skewed};
  for (int i = 0; i < 3; ++i) {
    SCOPED_TRACE(i + 1);
    settings.PageNumber = i + 1;
    ExpectPage(pages[i], contents[i], settings, TPixelFormat::pf8bit);
  }
}

TEST_F(VirtualScannerTest, MaxImagesEndsTheBatchEarly) {
  TluTwain& t = Open("VS Feeder");
  t.SetMultiImage(true);
  t.SetMaxImages(2);
  Scan();
  EXPECT_EQ(pages.size(), 2u);
  // The source was reset and disabled: a second acquisition starts afresh.
  pages.clear();
  t.SetMaxImages(0);
  Scan();
  EXPECT_EQ(pages.size(), 3u);
}

TEST_F(VirtualScannerTest, ReadsTheMicrTextOfEachCheque) {
  TluTwain& t = Open("VS Cheque");
  EXPECT_FALSE(t.CanSet(ICAP_PIXELTYPE));
  EXPECT_TRUE(t.PixelTypeSupported(1));
  EXPECT_FALSE(t.PixelTypeSupported(0));
  EXPECT_FALSE(t.MICRCapable());  // the capability's current value: not yet enabled
  t.SetMICREnabled(true);
  EXPECT_TRUE(t.MICRCapable());
  ASSERT_TRUE(t.MICREnabled());
  t.SetMultiImage(true);
  Scan();
  ASSERT_EQ(pages.size(), 2u);
  EXPECT_EQ(micr, (std::vector<std::string>{"", "c0001c a22a 333d"}));
  EXPECT_EQ(t.MICRText(), "c0002c a22a 444d");
}

TEST_F(VirtualScannerTest, OddDibsArriveTheRightWayUp) {
  Open("VS Odd DIB");
  Scan();
  ASSERT_EQ(pages.size(), 1u);
  // No resolution in the DIB: the source's 150 dpi.
  EXPECT_EQ(pages[0].XPelsPerMeter, 5906);
  EXPECT_EQ(pages[0].Palette(), (std::vector<TColor>{clBlack, clWhite}));
  TScanSettings settings;
  settings.PixelType = 0;
  settings.XDpi = settings.YDpi = 150;
  settings.Left = 1, settings.Top = 1, settings.Right = 2.5, settings.Bottom = 2;
  ExpectPage(pages[0], TPageContent{}, settings, TPixelFormat::pf1bit);
}

TEST_F(VirtualScannerTest, AFailedTransferIsSkipped) {
  TluTwain& t = Open("VS Faults");
  t.SetMultiImage(true);
  Scan();
  ASSERT_EQ(pages.size(), 2u);
  TScanSettings settings;
  settings.XDpi = settings.YDpi = 50;
  settings.Right = settings.Bottom = 1;
  settings.PageNumber = 3;
  ExpectPage(pages[1], TPageContent{}, settings, TPixelFormat::pf24bit);
}

TEST_F(VirtualScannerTest, ASourceThatDoesNotOpenIsInert) {
  TluTwain& t = Open("VS Closed");
  EXPECT_EQ(t.PixelType(), -1);
  EXPECT_FALSE(t.SourceOpen());
  t.Acquire();
  EXPECT_TRUE(t.AcquireDone());
}

TEST_F(VirtualScannerTest, AFailedEnableRaises) {
  TluTwain& t = Open("VS Refuses");
  EXPECT_THROW(t.Acquire(), ETwainError);
  EXPECT_TRUE(t.AcquireDone());
  EXPECT_FALSE(t.SourceEnabled());
}

TEST_F(VirtualScannerTest, ProbesOneValueCapabilities) {
  TluTwain& t = Open("VS Probe");
  EXPECT_TRUE(t.UnitSupported(0));
  EXPECT_TRUE(t.UnitSupported(1));
  EXPECT_FALSE(t.UnitSupported(2));
  EXPECT_TRUE(t.SeveralUnits());
  EXPECT_EQ(t.Units(), 0);  // restored after the probe
  EXPECT_TRUE(t.PixelTypeSupported(0));
  EXPECT_FALSE(t.PixelTypeSupported(1));
  EXPECT_EQ(t.PixelType(), 2);
}

TEST_F(VirtualScannerTest, AnUnsupportedDepthGivesABlankPageOfItsSize) {
  Open("VS Deep");
  Scan();
  ASSERT_EQ(pages.size(), 1u);
  EXPECT_EQ(pages[0].Width(), 100);
  EXPECT_EQ(pages[0].Height(), 50);
  EXPECT_EQ(pages[0].PixelFormat(), TPixelFormat::pf24bit);
}

TEST_F(VirtualScannerTest, TheSourcesWindowScansAndCloses) {
  TluTwain& t = Open("VS Feeder");
  bool cancelled = false;
  t.OnCancel = [&](TluTwain&) { cancelled = true; };
  t.SetShowUI(true);
  t.SetKeepSourceEnabled(true);
  t.SetMultiImage(true);
  t.Acquire();
  HWND window = nullptr;
  ASSERT_TRUE(PumpUntil([&] { return (window = FindWindowA("PagewellVirtualScannerWindow", nullptr)) != nullptr; }));
  HWND scan = FindWindowExA(window, nullptr, "BUTTON", "Scan");
  HWND close = FindWindowExA(window, nullptr, "BUTTON", "Close");
  ASSERT_TRUE(scan && close);
  for (int batch = 1; batch <= 2; ++batch) {
    PostMessageA(scan, BM_CLICK, 0, 0);
    ASSERT_TRUE(PumpUntil([&] { return pages.size() == 3u * batch; })) << "batch " << batch;
    EXPECT_FALSE(t.AcquireDone());
  }
  PostMessageA(close, BM_CLICK, 0, 0);
  ASSERT_TRUE(PumpUntil([&] { return t.AcquireDone(); }));
  EXPECT_TRUE(cancelled);
  EXPECT_EQ(FindWindowA("PagewellVirtualScannerWindow", nullptr), nullptr);
}

}  // namespace
}  // namespace pagewell::testing
