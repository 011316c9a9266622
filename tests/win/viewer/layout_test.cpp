// The viewer's layout read back from its windows: the zoom, the size of the
// zoomed image, the paint area and where each bar lies and whether it shows.
#include <limits>
#include <string>

#include "viewer_test_support.h"

namespace pagewell::testing {
namespace {

struct TBarExpectation {
  bool needed;
  bool visible;
  int left, top, width, height;
};

struct TLayoutCase {
  const char* name;
  int controlWidth, controlHeight;
  int imageWidth, imageHeight;
  bool autoZoom;
  bool showScrollBars;
  double zoom;  // expected
  int scaledWidth, scaledHeight;
  int paintWidth, paintHeight;
  TBarExpectation horizontal, vertical;
};

const TBarExpectation kNoBar{false, false, 0, 0, 0, 0};

const TLayoutCase kLayoutCases[] = {
    {"smaller image with automatic zoom", 433, 433, 200, 100, true, true, 100, 200, 100, 200, 100, kNoBar, kNoBar},
    {"twice as wide as the control", 433, 433, 866, 433, true, true, 50, 433, 217, 433, 217, kNoBar, kNoBar},
    {"fits exactly", 433, 433, 433, 433, false, true, 100, 433, 433, 433, 433, kNoBar, kNoBar},
    {"only too wide", 433, 433, 500, 300, false, true, 100, 500, 300, 433, 300,
     {true, true, 0, 300, 433, 16}, kNoBar},
    {"only too high", 433, 433, 300, 500, false, true, 100, 300, 500, 300, 433, kNoBar,
     {true, true, 300, 0, 16, 433}},
    {"too wide, and too high once the bar is there", 433, 433, 500, 430, false, true, 100, 500, 430, 417, 417,
     {true, true, 0, 417, 417, 16}, {true, true, 417, 0, 16, 417}},
    {"too high, and too wide once the bar is there", 433, 433, 425, 600, false, true, 100, 425, 600, 417, 417,
     {true, true, 0, 417, 417, 16}, {true, true, 417, 0, 16, 417}},
    {"too high, narrow enough beside the bar", 433, 433, 417, 600, false, true, 100, 417, 600, 417, 433, kNoBar,
     {true, true, 417, 0, 16, 433}},
    {"bars hidden take no room", 433, 433, 500, 430, false, false, 100, 500, 430, 433, 430,
     {true, false, 0, 417, 433, 16}, kNoBar},
};

void ExpectBar(const TluScrollBar& bar, const TBarExpectation& expected, int range) {
  EXPECT_EQ(bar.Enabled(), expected.needed);
  EXPECT_EQ(IsWindowVisible(bar.Handle()) != FALSE, expected.visible);
  EXPECT_EQ(bar.Position(), 0);
  if (!expected.needed) return;
  EXPECT_EQ(bar.Left(), expected.left);
  EXPECT_EQ(bar.Top(), expected.top);
  EXPECT_EQ(bar.Width(), expected.width);
  EXPECT_EQ(bar.Height(), expected.height);
  const int length = bar.Kind() == TluScrollBar::sbHorizontal ? expected.width : expected.height;
  EXPECT_EQ(bar.PageSize(), length);
  EXPECT_EQ(bar.LargeChange(), length);
  EXPECT_EQ(bar.Min(), 0);
  EXPECT_EQ(bar.Max(), range);
}

TEST_F(ViewerTest, LaysOutPictureAndBarsAsTheZoomedImageNeeds) {
  for (const auto& c : kLayoutCases) {
    SCOPED_TRACE(c.name);
    TPWImage& v = MakeViewer(c.controlWidth, c.controlHeight);
    v.SetAutoZoom(c.autoZoom);
    v.SetShowScrollBars(c.showScrollBars);
    LoadPage(v, PatternPage(c.imageWidth, c.imageHeight));
    EXPECT_DOUBLE_EQ(v.Zoom(), c.zoom);
    EXPECT_EQ(v.ContentWidth(), c.scaledWidth);
    EXPECT_EQ(v.ContentHeight(), c.scaledHeight);
    RECT paint{};
    GetWindowRect(v.PaintAreaHandle(), &paint);
    EXPECT_EQ(paint.right - paint.left, c.paintWidth);
    EXPECT_EQ(paint.bottom - paint.top, c.paintHeight);
    ExpectBar(v.HorzScrollBar(), c.horizontal, c.scaledWidth);
    ExpectBar(v.VertScrollBar(), c.vertical, c.scaledHeight);
  }
}

TEST_F(ViewerTest, WithoutAnImageTheBarsAreHiddenAndThereIsNoContent) {
  TPWImage& v = MakeViewer(200, 150);
  EXPECT_FALSE(v.ImageLoaded());
  EXPECT_EQ(v.ContentWidth(), 0);
  EXPECT_EQ(v.ContentHeight(), 0);
  for (TluScrollBar* bar : {&v.HorzScrollBar(), &v.VertScrollBar()}) {
    EXPECT_FALSE(bar->Enabled());
    EXPECT_FALSE(IsWindowVisible(bar->Handle()));
  }
  LoadPage(v, PatternPage(400, 400));
  EXPECT_TRUE(v.HorzScrollBar().Enabled());
  v.Clear();
  EXPECT_FALSE(v.ImageLoaded());
  EXPECT_FALSE(v.HorzScrollBar().Enabled());
  EXPECT_FALSE(IsWindowVisible(v.VertScrollBar().Handle()));
}

TEST_F(ViewerTest, ZoomIsIgnoredWhileAutomatic) {
  TPWImage& v = MakeViewer(433, 433);
  v.SetAutoZoom(true);
  LoadPage(v, PatternPage(866, 433));
  v.SetZoom(200);
  EXPECT_DOUBLE_EQ(v.Zoom(), 50);
  EXPECT_EQ(v.ContentWidth(), 433);
  v.SetAutoZoom(false);
  v.SetZoom(200);
  EXPECT_DOUBLE_EQ(v.Zoom(), 200);
  EXPECT_EQ(v.ContentWidth(), 1732);
}

TEST_F(ViewerTest, ZoomValuesThatAreNoPositivePercentageAreIgnored) {
  TPWImage& v = MakeViewer(300, 300);
  LoadPage(v, PatternPage(100, 100));
  for (double zoom : {0.0, -50.0, std::numeric_limits<double>::quiet_NaN(),
                      std::numeric_limits<double>::infinity(), 1e9}) {
    v.SetZoom(zoom);
    EXPECT_DOUBLE_EQ(v.Zoom(), 100) << zoom;
  }
}

// 1000 × 800 in a 200 × 200 control: both bars, a 184 × 184 view.
TEST_F(ViewerTest, ZoomingKeepsTheViewCentredOnTheSamePixel) {
  TPWImage& v = MakeViewer(200, 200);
  LoadPage(v, PatternPage(1000, 800));
  v.HorzScrollBar().SetPosition(208);  // centre x = (2 × 208 + 184) / 2 = 300
  v.VertScrollBar().SetPosition(108);  // centre y = 200
  v.SetZoom(200);
  const int h = v.HorzScrollBar().Position(), vv = v.VertScrollBar().Position();
  EXPECT_EQ(h, 2 * 300 - 92);
  EXPECT_EQ(vv, 2 * 200 - 92);
  EXPECT_EQ((2 * h + 184) * 50 / 200, 300);
  EXPECT_EQ((2 * vv + 184) * 50 / 200, 200);
}

TEST_F(ViewerTest, ScrollRequestsMoveByTheScrollSpeedAndStopAtTheLastPage) {
  TPWImage& v = MakeViewer(200, 200);
  LoadPage(v, PatternPage(1000, 800));
  int scrolls = 0;
  v.OnScroll = [&](TPWImage& sender) {
    EXPECT_EQ(&sender, viewer.get());
    ++scrolls;
  };
  v.SetScrollSpeed(7);
  for (int ignored : {0, 40000, -1}) {
    v.SetScrollSpeed(ignored);
    EXPECT_EQ(v.ScrollSpeed(), 7);
  }
  TluScrollBar& h = v.HorzScrollBar();
  SendMessageA(v.Handle(), WM_HSCROLL, SB_LINEDOWN, reinterpret_cast<LPARAM>(h.Handle()));
  EXPECT_EQ(h.Position(), 7);
  SendMessageA(v.Handle(), WM_HSCROLL, SB_PAGEDOWN, reinterpret_cast<LPARAM>(h.Handle()));
  EXPECT_EQ(h.Position(), 7 + 184);
  SendMessageA(v.Handle(), WM_HSCROLL, SB_LINEUP, reinterpret_cast<LPARAM>(h.Handle()));
  EXPECT_EQ(h.Position(), 184);
  // The range reaches the zoomed width, the view only its last page.
  SendMessageA(v.Handle(), WM_HSCROLL, SB_BOTTOM, reinterpret_cast<LPARAM>(h.Handle()));
  EXPECT_EQ(h.Position(), 1000 - 184);
  TluScrollBar& vertical = v.VertScrollBar();
  SendMessageA(v.Handle(), WM_VSCROLL, SB_BOTTOM, reinterpret_cast<LPARAM>(vertical.Handle()));
  EXPECT_EQ(vertical.Position(), 800 - 184);
  EXPECT_GE(scrolls, 5);
}

TEST_F(ViewerTest, FitToSizeShrinksTheControlToTheZoomedImage) {
  TPWImage& v = MakeViewer(50, 50);
  LoadPage(v, PatternPage(866, 433));
  v.FitToSize(100, 100);  // without automatic zoom: nothing
  EXPECT_EQ(v.Width(), 50);
  v.SetAutoZoom(true);
  v.FitToSize(433, 433);
  EXPECT_EQ(v.Width(), 433);
  EXPECT_EQ(v.Height(), 217);
  RECT window{};
  GetWindowRect(v.Handle(), &window);
  EXPECT_EQ(window.bottom - window.top, 217);
}

}  // namespace
}  // namespace pagewell::testing
