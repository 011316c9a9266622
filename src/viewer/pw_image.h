#pragma once
// TPWImage: the viewer control. A child window that shows one page image
// at a zoom, with its own horizontal and vertical scroll bars, lets the user
// drag a selection rectangle, hands the editing commands to the bitmap and
// owns the TWAIN session through which the form scans. The form uses it as
// its main viewer and, with automatic zoom, as every page's thumbnail.
//
// The picture is drawn by a paint area, a child window at (0, 0) of the
// zoomed image's visible size; the bars lie along its right and bottom edge.
// Mouse messages of the paint area and of both bars reach the viewer's
// mouse events in the viewer's frame.
#include <windows.h>

#include <functional>
#include <memory>
#include <string>

#include "formats/memory_stream.h"
#include "imaging/lu_bitmap.h"
#include "twain/lu_twain.h"
#include "viewer/lu_scroll_bar.h"
#include "viewer/viewer_layout.h"

namespace pagewell {

enum TMouseButton { mbLeft, mbRight, mbMiddle };
// The MK_ flags of the mouse message (buttons, Shift and Ctrl held).
using TShiftState = unsigned;

class TPWImage {
 public:
  using TNotifyEvent = std::function<void(TPWImage& sender)>;
  using TSessionEvent = std::function<void(TluTwain& sender)>;
  using TMouseEvent = std::function<void(TPWImage& sender, TMouseButton button, TShiftState shift, int x, int y)>;
  using TMouseMoveEvent = std::function<void(TPWImage& sender, TShiftState shift, int x, int y)>;

  // Creates the viewer's window as a visible child of `parent`.
  TPWImage(HWND parent, int left, int top, int width, int height);
  ~TPWImage();
  TPWImage(const TPWImage&) = delete;
  TPWImage& operator=(const TPWImage&) = delete;

  HWND Handle() const { return window_; }
  HWND PaintAreaHandle() const { return paintArea_; }
  TluScrollBar& HorzScrollBar() { return *horzBar_; }
  TluScrollBar& VertScrollBar() { return *vertBar_; }

  int Left() const { return left_; }
  int Top() const { return top_; }
  int Width() const { return width_; }
  int Height() const { return height_; }
  // Moves and sizes the control; a new size lays the view out again.
  void SetBounds(int left, int top, int width, int height);

  // --- published properties ---------------------------------------------
  int ImageWidth() const { return image_ ? image_->Width() : viewOnly_.width; }
  int ImageHeight() const { return image_ ? image_->Height() : viewOnly_.height; }
  // An image is held, or the view of one that was handed on (KeepViewOnly).
  bool ImageLoaded() const { return image_ != nullptr || viewOnly_.kept; }
  double Zoom() const { return zoom_; }
  // Ignored while AutoZoom is on, and for values that are not a positive
  // percentage up to kMaxZoom; keeps the view's centre on the same pixel.
  void SetZoom(double zoom);
  static constexpr double kMaxZoom = 100000.0;
  bool AutoZoom() const { return autoZoom_; }
  void SetAutoZoom(bool value);
  bool ShowScrollBars() const { return showScrollBars_; }
  void SetShowScrollBars(bool value);
  std::string TwainAppName() const;
  void SetTwainAppName(const std::string& name);
  bool ScaleToGray() const { return scaleToGray_; }
  void SetScaleToGray(bool value);
  int ScrollSpeed() const { return scrollSpeed_; }
  // 1 .. 32767; other values are ignored.
  void SetScrollSpeed(int speed);

  TMouseEvent OnMouseDown;
  TMouseEvent OnMouseUp;
  TMouseMoveEvent OnMouseMove;
  TNotifyEvent OnClick;
  TNotifyEvent OnDblClick;
  TNotifyEvent OnScroll;
  TSessionEvent OnAcquire;
  TSessionEvent OnAcquireCancel;
  TSessionEvent OnAcquireFinish;

  // --- further state ----------------------------------------------------
  int ScaledWidth() const { return scaledWidth_; }
  int ScaledHeight() const { return scaledHeight_; }
  int PageNumber() const { return pageNumber_; }
  void SetPageNumber(int number) { pageNumber_ = number; }
  int DeskewRange() const { return deskewRange_; }
  bool Selecting() const { return selecting_; }
  bool Dragging() const { return dragging_; }
  // Whether the TWAIN session has been created (it is, on first need).
  bool TwainCreated() const { return twain_ != nullptr; }
  // The scaled view of the last paint at a zoom other than 100 (empty
  // before); its pixel format tells how the page was drawn.
  const TluBitmap& DisplayBitmap() const { return displayBitmap_; }

  // --- image operations (none does anything without an image) -----------
  void Clear();
  void SetColorMode(int mode);
  // The image's colour mode, cmUnknown (7) without an image.
  int ColorMode() const;
  // A new bitmap handle holding a copy of the image, the caller's to free;
  // 0 without an image.
  HBITMAP ImageHandle() const;
  // Replaces the image by the bitmap behind the handle; 0 does nothing.
  void LoadFromHandle(HBITMAP handle);
  // Replaces the image by the bitmap itself, as it is; null clears it.
  void SetImage(std::unique_ptr<TluBitmap> image);
  // A thumbnail need not hold its page: the scaled view of the present size
  // is drawn once and kept, and the image is handed back to the caller (the
  // page store). The view stays until an image is set again; a new size of
  // the viewer then needs the image back to draw itself. An image shown
  // unscaled is its own view and stays, so the caller gets a copy.
  std::unique_ptr<TluBitmap> KeepViewOnly();
  bool ViewOnly() const { return viewOnly_.kept; }
  // The held bitmap; null without an image.
  TluBitmap* Image() { return image_.get(); }
  const TluBitmap* Image() const { return image_.get(); }
  int XDpi() const;
  int YDpi() const;
  void SetXDpi(int dpi);
  void SetYDpi(int dpi);
  // With AutoZoom only: the control takes w × h, then the zoomed image's size.
  void FitToSize(int width, int height);
  void Rotate(double angle);
  void Deskew();
  void Despeckle();
  void StampText(const std::wstring& text);
  void SaveImage(TMemoryStream& stream, int formatCode);
  // Crops the image to the rectangle (image pixels, bounds inclusive) as
  // its selection, then clears the selection. A rectangle the bitmap
  // refuses (one pixel wide or high, inverted) leaves the image as it was.
  void CropToRectangle(int left, int right, int top, int bottom);
  // Lets the user drag a rectangle on the picture; returns once the mouse
  // was released over the picture, with the rectangle as the image's
  // selection in image pixels.
  void SelectRectangle();
  int SelectionLeft() const;
  int SelectionRight() const;
  int SelectionTop() const;
  int SelectionBottom() const;
  int ContentWidth() const { return image_ ? scaledWidth_ : 0; }
  int ContentHeight() const { return image_ ? scaledHeight_ : 0; }

  // --- TWAIN operations -------------------------------------------------
  // Those that read create the session first (EnsureTwain); those that only
  // set something do nothing until it exists, unless the value is kept.
  int DeviceCount();
  std::string DeviceName(int index);
  int DeviceIndex() const;
  // Only for -1 <= index < DeviceCount().
  void SetDeviceIndex(int index);
  bool SelectDeviceByName(const std::string& name);
  bool DeviceOnline();
  bool UIControllable();
  int Units();
  void SetUnits(int units);
  int PixelType();
  void SetPixelType(int pixelType);
  bool PixelTypeSupported(int pixelType);
  double Resolution();
  void SetResolution(double value);
  int ResolutionCount();
  double ResolutionValue(int index);
  double PhysicalWidth();
  double PhysicalHeight();
  double FrameLeft();
  double FrameTop();
  double FrameRight();
  double FrameBottom();
  void SetFrame(double left, double right, double top, double bottom);
  int DuplexType();
  void SetDuplex(bool value);
  void SetAutoPageSize(bool value);
  bool MICRCapable();
  void SetMICREnabled(bool value);
  bool ShowUI() const;
  void SetShowUI(bool value);
  bool KeepSourceEnabled() const { return keepSourceEnabled_; }
  void SetKeepSourceEnabled(bool value);
  bool MultiImage() const { return multiImage_; }
  void SetMultiImage(bool value);
  bool Indicators() const { return indicators_; }
  void SetIndicators(bool value);
  bool Feeder() const { return feeder_; }
  void SetFeeder(bool value);
  int MaxImages() const { return maxImages_; }
  void SetMaxImages(int value);
  // Runs one acquisition and returns when it is over; the images arrive as
  // the viewer's image, each raising OnAcquire, while it waits.
  void Acquire();
  // From an OnAcquire handler: the acquisition ends after this image as a
  // cancelled one does.
  void EndAcquisition();
  // The MICR text kept by the last Acquire; a page viewer, which never
  // scans, is given the text of the transfer its page came from.
  const std::wstring& MICRText() const { return micrText_; }
  void SetMICRText(std::wstring text) { micrText_ = std::move(text); }
  // The session's MICR text as it is now. The text of a cheque is read
  // after its transfer ends, so while an image is being announced this is
  // the text of the image before it; empty without a session.
  std::wstring SessionMICRText() const;

 private:
  friend struct TPWImageWindows;

  void CreateWindows(HWND parent);
  LRESULT HandleViewerMessage(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
  LRESULT HandlePaintAreaMessage(HWND window, UINT message, WPARAM wParam, LPARAM lParam);

  // Layout and scrolling.
  void Layout();
  void ApplyBar(TluScrollBar& bar, const TBarLayout& layout);
  void PrepareDisplayBitmap(int paintWidth, int paintHeight);
  void RestoreCentre();
  int ViewCentre(const TluScrollBar& bar, int paintExtent) const;
  void ScrollBarChanged(TluScrollBar& bar);
  void Repaint();

  // Painting.
  void PaintPicture(HDC dc);
  void PaintZoomed(HDC dc);
  // Computes the visible part of the scaled image into DisplayBitmap.
  void RenderDisplayBitmap();
  void PaintSurroundings(HDC dc);
  bool ScalesToGray() const;

  // Mouse.
  void RouteMouse(UINT message, WPARAM keys, int x, int y);
  void RaiseMouse(UINT message, WPARAM keys, int x, int y);
  void SelectionMouseDown(WPARAM keys, int x, int y);
  void SelectionMouseMove(WPARAM keys, int x, int y);
  void SelectionMouseUp(WPARAM keys, int x, int y);
  void DrawDragRectangle(HDC dc) const;
  void ScrollAtEdges(int x, int y);
  bool HasSelection() const;
  bool InPaintArea(int x, int y) const;
  bool InControl(int x, int y) const;
  int HorzOffset() const;
  int VertOffset() const;

  // TWAIN.
  void EnsureTwain();
  void ImageFromSession(TluTwain& session);

  HWND window_ = nullptr;
  HWND paintArea_ = nullptr;
  std::unique_ptr<TluScrollBar> horzBar_;
  std::unique_ptr<TluScrollBar> vertBar_;
  std::unique_ptr<TluBitmap> image_;
  TluBitmap displayBitmap_;
  // The image's size while only its drawn view is kept.
  struct ViewOnlyState {
    bool kept = false;
    int width = 0, height = 0;
  } viewOnly_;
  int left_ = 0, top_ = 0, width_ = 0, height_ = 0;
  int paintWidth_ = 0, paintHeight_ = 0;
  int scaledWidth_ = 0, scaledHeight_ = 0;
  bool keepCentre_ = false;
  int centreX_ = 0, centreY_ = 0;
  bool updating_ = false;
  bool limitingScroll_ = false;

  double zoom_ = 100.0;
  bool autoZoom_ = false;
  bool showScrollBars_ = true;
  std::string twainAppName_ = "Pagewell";
  bool scaleToGray_ = false;
  int scrollSpeed_ = 1;

  std::unique_ptr<TluTwain> twain_;
  int deviceIndex_ = -1;
  bool showUI_ = true;
  bool keepSourceEnabled_ = false;
  bool indicators_ = false;
  bool feeder_ = false;
  bool multiImage_ = false;
  int maxImages_ = 0;
  int deskewRange_ = 15;

  bool dragging_ = false;
  bool selecting_ = false;
  POINT dragStart_{};
  POINT dragEnd_{};
  // Where the mouse went down on the paint area, for its click.
  bool pressed_ = false;
  HCURSOR screenCursor_ = nullptr;
  int pageNumber_ = 0;
  std::wstring micrText_;
};

}  // namespace pagewell
