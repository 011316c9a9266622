#pragma once
// TluScrollBar: the viewer's scroll bar, a standard Windows scroll bar
// control whose range, page and position the bar keeps itself (the control
// only shows them). Two additions to a plain bar: its arrow step is the
// viewer's scroll speed, and the mouse messages it receives are passed on to
// the viewer with the point moved into the viewer's frame, so that a press
// on a bar reads like a press on the viewer.
#include <windows.h>

#include <functional>

namespace pagewell {

class TluScrollBar {
 public:
  enum TKind { sbHorizontal, sbVertical };
  // Thickness of both bars in pixels.
  static constexpr int kThickness = 16;

  // A mouse message over the bar, the point in the parent's frame.
  using TMouseForward = std::function<void(UINT message, WPARAM keys, int x, int y)>;

  TluScrollBar(HWND parent, TKind kind);
  ~TluScrollBar();
  TluScrollBar(const TluScrollBar&) = delete;
  TluScrollBar& operator=(const TluScrollBar&) = delete;

  HWND Handle() const { return window_; }
  TKind Kind() const { return kind_; }

  int Position() const { return position_; }
  // Limited to Min .. Max; a position that moves runs OnChange.
  void SetPosition(int position);
  int Min() const { return min_; }
  int Max() const { return max_; }
  // Sets the range and the position at once (limited to the range); runs
  // OnChange when the position moved.
  void SetParams(int position, int min, int max);
  int PageSize() const { return pageSize_; }
  void SetPageSize(int pageSize);
  int SmallChange() const { return smallChange_; }
  void SetSmallChange(int value) { smallChange_ = value; }
  int LargeChange() const { return largeChange_; }
  void SetLargeChange(int value) { largeChange_ = value; }

  bool Enabled() const { return enabled_; }
  void SetEnabled(bool enabled);
  bool Visible() const { return visible_; }
  void SetVisible(bool visible);

  int Left() const { return left_; }
  int Top() const { return top_; }
  int Width() const { return width_; }
  int Height() const { return height_; }
  void SetBounds(int left, int top, int width, int height);

  // The parent passes every WM_HSCROLL or WM_VSCROLL of this bar here: the
  // request code moves the position by the small or large change, to an
  // end or to the thumb.
  void Scroll(int code);

  std::function<void(TluScrollBar&)> OnChange;
  TMouseForward OnMouse;

 private:
  static LRESULT CALLBACK SubclassProcedure(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
  LRESULT HandleMessage(UINT message, WPARAM wParam, LPARAM lParam);
  void ForwardMouse(UINT message, WPARAM keys, int x, int y);
  void ShowRange();
  int TrackPosition() const;

  TKind kind_;
  HWND window_ = nullptr;
  WNDPROC originalProcedure_ = nullptr;
  int position_ = 0;
  int min_ = 0;
  int max_ = 100;
  int pageSize_ = 0;
  int smallChange_ = 1;
  int largeChange_ = 1;
  bool enabled_ = true;
  bool visible_ = true;
  int left_ = 0, top_ = 0, width_ = 0, height_ = 0;
};

}  // namespace pagewell
