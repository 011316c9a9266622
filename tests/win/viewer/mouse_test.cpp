// The mouse over the viewer as real window messages: dragging a selection
// rectangle (queued before SelectRectangle serves them), releasing off the
// picture, and the bars' messages reaching the viewer's events.
#include <string>
#include <vector>

#include "viewer_test_support.h"

namespace pagewell::testing {
namespace {

LPARAM Point(int x, int y) { return MAKELPARAM(static_cast<WORD>(x), static_cast<WORD>(y)); }

// Queues a left-button drag from `from` to `to` on the window.
void QueueDrag(HWND window, POINT from, POINT to) {
  PostMessageA(window, WM_LBUTTONDOWN, MK_LBUTTON, Point(from.x, from.y));
  PostMessageA(window, WM_MOUSEMOVE, MK_LBUTTON, Point((from.x + to.x) / 2, (from.y + to.y) / 2));
  PostMessageA(window, WM_MOUSEMOVE, MK_LBUTTON, Point(to.x, to.y));
  PostMessageA(window, WM_LBUTTONUP, 0, Point(to.x, to.y));
}

struct TSelectionCase {
  double zoom;
  int horizontal, vertical;  // bar positions
  POINT from, to;            // in the paint area
  int left, top, right, bottom;
};

// The four ways of dragging the same rectangle give the same selection in
// image pixels: the first pixel rounded, the last the one the far edge
// reaches.
TEST_F(ViewerTest, DraggedRectangleBecomesTheSelectionInImagePixelsWhicheverWayItIsDragged) {
  const TSelectionCase cases[] = {
      {100, 0, 0, {10, 20}, {50, 60}, 10, 20, 50, 60},
      {200, 0, 0, {10, 20}, {30, 40}, 5, 10, 15, 20},
      {50, 0, 0, {10, 20}, {30, 40}, 20, 40, 61, 81},
      {200, 100, 50, {10, 20}, {30, 40}, 55, 35, 65, 45},
  };
  const TluBitmap page = PatternPage(600, 500);
  for (const auto& c : cases) {
    const std::vector<std::pair<POINT, POINT>> drags = {{c.from, c.to},
                                                         {c.to, c.from},
                                                         {{c.to.x, c.from.y}, {c.from.x, c.to.y}},
                                                         {{c.from.x, c.to.y}, {c.to.x, c.from.y}}};
    TPWImage& v = MakeViewer(250, 200);
    LoadPage(v, page);
    v.SetZoom(c.zoom);
    for (const auto& drag : drags) {
      SCOPED_TRACE("zoom " + std::to_string(c.zoom) + " from " + std::to_string(drag.first.x) + "," +
                   std::to_string(drag.first.y));
      v.Image()->ClearSelection();
      v.HorzScrollBar().SetPosition(c.horizontal);
      v.VertScrollBar().SetPosition(c.vertical);
      std::vector<std::string> events;
      v.OnMouseDown = [&](TPWImage&, TMouseButton button, TShiftState, int x, int y) {
        events.push_back("down " + std::to_string(button) + " " + std::to_string(x) + "," + std::to_string(y));
      };
      v.OnMouseUp = [&](TPWImage&, TMouseButton button, TShiftState, int x, int y) {
        events.push_back("up " + std::to_string(button) + " " + std::to_string(x) + "," + std::to_string(y));
      };
      QueueDrag(v.PaintAreaHandle(), drag.first, drag.second);
      v.SelectRectangle();
      EXPECT_FALSE(v.Selecting());
      EXPECT_EQ(v.Image()->SelectionKind, 1);
      EXPECT_EQ(v.SelectionLeft(), c.left);
      EXPECT_EQ(v.SelectionTop(), c.top);
      EXPECT_EQ(v.SelectionRight(), c.right);
      EXPECT_EQ(v.SelectionBottom(), c.bottom);
      const std::vector<std::string> expected = {
          "down 0 " + std::to_string(drag.first.x) + "," + std::to_string(drag.first.y),
          "up 0 " + std::to_string(drag.second.x) + "," + std::to_string(drag.second.y)};
      EXPECT_EQ(events, expected);
    }
  }
}

// 100 × 80 in a 300 × 200 control: a release right of the picture is still
// inside the control.
TEST_F(ViewerTest, ReleasingOffThePictureClearsTheSelectionAndTheWaitGoesOn) {
  TPWImage& v = MakeViewer(300, 200);
  LoadPage(v, PatternPage(100, 80));
  v.Image()->SetSelection(1, 1, 5, 5);
  struct TRelease {
    bool selecting;
    int selectionKind;
    int x, y;
  };
  std::vector<TRelease> releases;
  v.OnMouseUp = [&](TPWImage& sender, TMouseButton, TShiftState, int x, int y) {
    releases.push_back({sender.Selecting(), sender.Image()->SelectionKind, x, y});
  };
  QueueDrag(v.PaintAreaHandle(), {10, 10}, {200, 50});
  QueueDrag(v.PaintAreaHandle(), {20, 20}, {40, 30});
  v.SelectRectangle();
  ASSERT_EQ(releases.size(), 2u);
  EXPECT_TRUE(releases[0].selecting);
  EXPECT_EQ(releases[0].selectionKind, 0);
  EXPECT_EQ(releases[0].x, 200);
  EXPECT_FALSE(releases[1].selecting);
  EXPECT_EQ(v.SelectionLeft(), 20);
  EXPECT_EQ(v.SelectionTop(), 20);
  EXPECT_EQ(v.SelectionRight(), 40);
  EXPECT_EQ(v.SelectionBottom(), 30);
}

// 1000 × 800 in 200 × 200, a 184-pixel view: 4 pixels from the right edge
// the view moves right by (9 - 4)² + 1, 5 pixels from the left edge back by
// (10 - 5)² - 1; the rectangle runs between points of the scrolled image.
TEST_F(ViewerTest, DraggingNearAnEdgeScrollsTheView) {
  TPWImage& v = MakeViewer(200, 200);
  LoadPage(v, PatternPage(1000, 800));
  int scrolls = 0;
  v.OnScroll = [&](TPWImage&) { ++scrolls; };
  const HWND paint = v.PaintAreaHandle();
  PostMessageA(paint, WM_LBUTTONDOWN, MK_LBUTTON, Point(100, 100));
  PostMessageA(paint, WM_MOUSEMOVE, MK_LBUTTON, Point(180, 100));
  int afterRight = -1;
  v.OnMouseMove = [&](TPWImage& sender, TShiftState, int, int) {
    if (afterRight < 0) afterRight = sender.HorzScrollBar().Position();
  };
  PostMessageA(paint, WM_MOUSEMOVE, MK_LBUTTON, Point(5, 100));
  PostMessageA(paint, WM_LBUTTONUP, 0, Point(5, 100));
  v.SelectRectangle();
  EXPECT_EQ(afterRight, 26);
  EXPECT_EQ(v.HorzScrollBar().Position(), 2);
  EXPECT_EQ(v.VertScrollBar().Position(), 0);
  EXPECT_EQ(scrolls, 2);
  EXPECT_EQ(v.SelectionLeft(), 7);
  EXPECT_EQ(v.SelectionRight(), 100);
  EXPECT_EQ(v.SelectionTop(), 100);
  EXPECT_EQ(v.SelectionBottom(), 100);
}

TEST_F(ViewerTest, SelectionWithoutAnImageReturnsAtOnceAndAnswersZeros) {
  TPWImage& v = MakeViewer(100, 100);
  v.SelectRectangle();
  EXPECT_FALSE(v.Selecting());
  EXPECT_EQ(v.SelectionLeft(), 0);
  EXPECT_EQ(v.SelectionRight(), 0);
  EXPECT_EQ(v.SelectionTop(), 0);
  EXPECT_EQ(v.SelectionBottom(), 0);
}

// Outside a selection the paint area's mouse is the viewer's: a press and a
// release over the picture make a click, a double click its own event.
TEST_F(ViewerTest, PaintAreaMouseRaisesTheViewersEvents) {
  TPWImage& v = MakeViewer(300, 200);
  LoadPage(v, PatternPage(100, 80));
  std::vector<std::string> events;
  v.OnMouseDown = [&](TPWImage&, TMouseButton b, TShiftState, int x, int y) {
    events.push_back("down " + std::to_string(b) + " " + std::to_string(x) + "," + std::to_string(y));
  };
  v.OnMouseMove = [&](TPWImage&, TShiftState, int x, int y) {
    events.push_back("move " + std::to_string(x) + "," + std::to_string(y));
  };
  v.OnMouseUp = [&](TPWImage&, TMouseButton b, TShiftState, int x, int y) {
    events.push_back("up " + std::to_string(b) + " " + std::to_string(x) + "," + std::to_string(y));
  };
  v.OnClick = [&](TPWImage&) { events.push_back("click"); };
  v.OnDblClick = [&](TPWImage&) { events.push_back("double"); };
  const HWND paint = v.PaintAreaHandle();
  SendMessageA(paint, WM_LBUTTONDOWN, MK_LBUTTON, Point(5, 6));
  SendMessageA(paint, WM_MOUSEMOVE, MK_LBUTTON, Point(7, 8));
  SendMessageA(paint, WM_LBUTTONUP, 0, Point(7, 8));
  SendMessageA(paint, WM_RBUTTONDOWN, MK_RBUTTON, Point(9, 9));
  SendMessageA(paint, WM_RBUTTONUP, 0, Point(9, 9));
  SendMessageA(paint, WM_LBUTTONDBLCLK, MK_LBUTTON, Point(9, 9));
  const std::vector<std::string> expected = {"down 0 5,6", "move 7,8", "up 0 7,8", "click",
                                             "down 1 9,9", "up 1 9,9", "double"};
  EXPECT_EQ(events, expected);
}

// 1000 × 800 in 200 × 200: the vertical bar lies at x 184, the horizontal at
// y 184; their points reach the viewer moved by those edges.
TEST_F(ViewerTest, BarsPassTheirMouseToTheViewerInItsFrame) {
  TPWImage& v = MakeViewer(200, 200);
  LoadPage(v, PatternPage(1000, 800));
  ASSERT_EQ(v.VertScrollBar().Left(), 184);
  ASSERT_EQ(v.HorzScrollBar().Top(), 184);
  std::vector<std::string> events;
  v.OnMouseMove = [&](TPWImage& sender, TShiftState, int x, int y) {
    EXPECT_EQ(&sender, viewer.get());
    events.push_back(std::to_string(x) + "," + std::to_string(y));
  };
  SendMessageA(v.VertScrollBar().Handle(), WM_MOUSEMOVE, 0, Point(3, 40));
  SendMessageA(v.HorzScrollBar().Handle(), WM_MOUSEMOVE, 0, Point(50, 4));
  const std::vector<std::string> expected = {"187,40", "50,188"};
  EXPECT_EQ(events, expected);
}

// A press on the bar's lower arrow: the bar scrolls by the scroll speed and
// the viewer hears the press where it happened and the release.
TEST_F(ViewerTest, PressOnABarArrowScrollsByTheSpeedAndReachesTheViewer) {
  TPWImage& v = MakeViewer(200, 200);
  LoadPage(v, PatternPage(1000, 800));
  v.SetScrollSpeed(9);
  std::vector<std::string> events;
  v.OnMouseDown = [&](TPWImage&, TMouseButton, TShiftState, int x, int y) {
    events.push_back("down " + std::to_string(x) + "," + std::to_string(y));
  };
  v.OnMouseUp = [&](TPWImage&, TMouseButton, TShiftState, int, int) { events.push_back("up"); };
  const HWND bar = v.VertScrollBar().Handle();
  PostMessageA(bar, WM_LBUTTONDOWN, MK_LBUTTON, Point(8, 184 - 8));
  PostMessageA(bar, WM_LBUTTONUP, 0, Point(8, 184 - 8));
  PumpMessages();
  EXPECT_EQ(v.VertScrollBar().Position(), 9);
  ASSERT_GE(events.size(), 2u);
  EXPECT_EQ(events[0], "down 192,176");
  EXPECT_EQ(events[1], "up");
}

}  // namespace
}  // namespace pagewell::testing
