// Scans from the viewer to the end: Wine's source manager with the virtual
// scanner as its source, every page becoming the viewer's image with one
// OnAcquire each, the end of the acquisition, and the MICR text kept.
#include <algorithm>
#include <cmath>
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

[device]
name = Viewer Skewed
pixel_types = 0
pixel_type = 0
resolutions = 100
resolution = 100
page = text skew=3

[device]
name = Viewer Straight
pixel_types = 0
pixel_type = 0
resolutions = 100
resolution = 100
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


// Where the ink of a scanned letter lies, measured well inside the sheet's
// edges (0.4 inch at 100 dpi), so that the paper's edge and shadow do not
// count.
class TInkMap {
 public:
  explicit TInkMap(const TluBitmap& page) : page_(page) {}

  bool Ink(int x, int y) const {
    const TColor c = page_.PixelColor(x, y);
    return RedOf(c) * 30 + GreenOf(c) * 59 + BlueOf(c) * 11 < 128 * 100;
  }

  // The left end of the ink of every row that holds some (a line of text,
  // a rule, the logo): (row, leftmost inked column).
  std::vector<std::pair<double, double>> LeftEnds() const {
    std::vector<std::pair<double, double>> ends;
    for (int y = kInside; y < page_.Height() - kInside; ++y) {
      for (int x = kInside; x < page_.Width() - kInside; ++x) {
        if (!Ink(x, y)) continue;
        ends.emplace_back(y, x);
        break;
      }
    }
    return ends;
  }

  // The rows in which column x is the middle of a horizontal run of ink at
  // least 21 pixels long: where a ruled line crosses the column.
  std::vector<int> RulesAt(int x) const {
    std::vector<int> rows;
    for (int y = kInside; y < page_.Height() - kInside; ++y) {
      bool rule = true;
      for (int dx = -10; dx <= 10 && rule; ++dx) rule = Ink(x + dx, y);
      if (rule) rows.push_back(y);
    }
    return rows;
  }

  static constexpr int kInside = 40;

 private:
  const TluBitmap& page_;
};

double Median(std::vector<double> values) {
  std::nth_element(values.begin(), values.begin() + values.size() / 2, values.end());
  return values[values.size() / 2];
}

// The margin's lean in columns per row: a line through the left ends of the
// rows that most of them lie on (the median slope of pairs of rows at least
// 200 apart), then refined by least squares over the ends within two pixels
// of it, so that a centred footer, an indented signature or the rows
// between turned lines do not tilt it.
double MarginLean(const std::vector<std::pair<double, double>>& ends) {
  std::vector<double> slopes;
  for (std::size_t i = 0; i < ends.size(); i += 3)
    for (std::size_t j = i + 1; j < ends.size(); j += 3)
      if (ends[j].first - ends[i].first >= 200)
        slopes.push_back((ends[j].second - ends[i].second) / (ends[j].first - ends[i].first));
  const double slope = Median(slopes);
  std::vector<double> offsets;
  for (const auto& e : ends) offsets.push_back(e.second - slope * e.first);
  const double offset = Median(offsets);
  double n = 0, sy = 0, sx = 0, syy = 0, syx = 0;
  for (const auto& e : ends) {
    if (std::fabs(e.second - (slope * e.first + offset)) > 2) continue;
    n += 1, sy += e.first, sx += e.second, syy += e.first * e.first, syx += e.first * e.second;
  }
  return (n * syx - sy * sx) / (n * syy - sy * sy);
}

// How far the margin of `page` leans against that of `straight`, in pixels
// over the page's height: the left ends of the same rows compared, so that
// the glyphs' own shapes (a round "O" starts further right than a "T")
// cancel out; a least-squares line through the differences, leaving out
// rows more than three pixels from their median.
double LeanAgainst(const TluBitmap& page, const TluBitmap& straight) {
  const auto a = TInkMap(page).LeftEnds(), b = TInkMap(straight).LeftEnds();
  std::vector<double> left(page.Height(), -1);
  for (const auto& e : a) left[static_cast<int>(e.first)] = e.second;
  std::vector<std::pair<double, double>> differences;
  for (const auto& e : b)
    if (left[static_cast<int>(e.first)] >= 0) differences.emplace_back(e.first, left[static_cast<int>(e.first)] - e.second);
  if (differences.size() < 100) return 1e9;
  std::vector<double> values;
  for (const auto& d : differences) values.push_back(d.second);
  const double median = Median(values);
  double n = 0, sy = 0, sd = 0, syy = 0, syd = 0;
  for (const auto& d : differences) {
    if (std::fabs(d.second - median) > 3) continue;
    n += 1, sy += d.first, sd += d.second, syy += d.first * d.first, syd += d.first * d.second;
  }
  return (n * syd - sy * sd) / (n * syy - sy * sy) * page.Height();
}

// A sheet that lies turned on the glass is turned as a whole: its margin
// leans as much as its lines do, and once the page is deskewed both are
// straight again, within a pixel over the page's height and width.
TEST_F(ViewerScanTest, ASkewedPageComesBackLevelFromDeskew) {
  // The same letter, lying straight and turned clockwise by 3 degrees.
  std::vector<TluBitmap> pages;
  for (const char* device : {"Viewer Straight", "Viewer Skewed"}) {
    TPWImage& v = ScanningViewer(device);
    v.OnAcquire = [&](TluTwain&) { pages.push_back(*v.Image()); };
    v.Acquire();
  }
  ASSERT_EQ(pages.size(), 2u);
  const TluBitmap& straight = pages[0];
  TluBitmap& page = pages[1];
  ASSERT_EQ(page.Width(), 850);
  ASSERT_EQ(page.Height(), 1100);

  const auto straightEnds = TInkMap(straight).LeftEnds();
  ASSERT_GE(straightEnds.size(), 300u) << "the letter has its lines of text";
  // About 58 pixels over the height: the sheet is turned, not sheared.
  const double lean = MarginLean(TInkMap(page).LeftEnds()) * page.Height() - MarginLean(straightEnds) * page.Height();
  EXPECT_LT(lean, -45) << "the margin leans with the turned sheet";

  page.Deskew(10, true, clWhite);
  ASSERT_EQ(page.Width(), 850);
  const TInkMap ink(page);
  const auto ends = ink.LeftEnds();
  ASSERT_GE(ends.size(), 300u);
  EXPECT_LE(std::fabs(LeanAgainst(page, straight)), 1.0) << "the margin is upright again";

  // The table's rules, crossing two columns 4.5 inches apart.
  const int left = page.Width() / 2 - 225, right = page.Width() / 2 + 225;
  const std::vector<int> atLeft = ink.RulesAt(left), atRight = ink.RulesAt(right);
  ASSERT_GE(atLeft.size(), 5u) << "the table's rules";
  ASSERT_EQ(atLeft.size(), atRight.size());
  for (std::size_t i = 0; i < atLeft.size(); ++i) EXPECT_LE(std::abs(atLeft[i] - atRight[i]), 1) << "rule " << i;
}

}  // namespace
}  // namespace pagewell::testing
