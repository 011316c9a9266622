#include "viewer_test_support.h"

#include <cstring>

#include "viewer/raster_gdi.h"

namespace pagewell::testing {

TColor PatternColor(int x, int y) {
  return RGBColor(x & 0xFF, y & 0xFF, ((x >> 8) & 0x0F) | (((y >> 8) & 0x0F) << 4));
}

TluBitmap PatternPage(int width, int height) {
  TluBitmap page(width, height, TPixelFormat::pf24bit);
  for (int y = 0; y < height; ++y) {
    for (int x = 0; x < width; ++x) page.SetPixelColor(x, y, PatternColor(x, y));
  }
  page.DetectColorMode();
  return page;
}

void LoadPage(TPWImage& viewer, const TluBitmap& page) {
  HBITMAP handle = CreateBitmapHandle(page);
  ASSERT_NE(handle, nullptr);
  viewer.LoadFromHandle(handle);
  DeleteObject(handle);
}

TRaster CaptureClient(HWND window) {
  RedrawWindow(window, nullptr, nullptr, RDW_INVALIDATE | RDW_UPDATENOW | RDW_ALLCHILDREN);
  PumpMessages();
  RECT client{};
  GetClientRect(window, &client);
  TRaster shot(std::max(1L, client.right), std::max(1L, client.bottom), TPixelFormat::pf24bit);
  BITMAPINFO info{};
  info.bmiHeader.biSize = sizeof(BITMAPINFOHEADER);
  info.bmiHeader.biWidth = shot.Width();
  info.bmiHeader.biHeight = -shot.Height();
  info.bmiHeader.biPlanes = 1;
  info.bmiHeader.biBitCount = 24;
  info.bmiHeader.biCompression = BI_RGB;
  void* bits = nullptr;
  HBITMAP section = CreateDIBSection(nullptr, &info, DIB_RGB_COLORS, &bits, nullptr, 0);
  HDC memory = CreateCompatibleDC(nullptr);
  HGDIOBJ old = SelectObject(memory, section);
  HDC source = GetDC(window);
  BitBlt(memory, 0, 0, shot.Width(), shot.Height(), source, 0, 0, SRCCOPY);
  ReleaseDC(window, source);
  GdiFlush();
  std::memcpy(shot.ScanLine(0), bits, shot.RowStride() * static_cast<std::size_t>(shot.Height()));
  SelectObject(memory, old);
  DeleteDC(memory);
  DeleteObject(section);
  return shot;
}

void PumpMessages() {
  MSG message;
  while (PeekMessageA(&message, nullptr, 0, 0, PM_REMOVE)) {
    TranslateMessage(&message);
    DispatchMessageA(&message);
  }
}

void ViewerTest::SetUp() {
  WNDCLASSA windowClass{};
  windowClass.lpfnWndProc = DefWindowProcA;
  windowClass.hInstance = GetModuleHandleA(nullptr);
  windowClass.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_WINDOW + 1);
  windowClass.lpszClassName = "PagewellViewerTestHost";
  RegisterClassA(&windowClass);
  host = CreateWindowExA(WS_EX_TOPMOST, "PagewellViewerTestHost", "Viewer test", WS_POPUP | WS_VISIBLE | WS_CLIPCHILDREN,
                         0, 0, 700, 600, nullptr, nullptr, windowClass.hInstance, nullptr);
  ASSERT_NE(host, nullptr);
  PumpMessages();
}

void ViewerTest::TearDown() {
  viewer.reset();
  if (host) DestroyWindow(host);
  PumpMessages();
}

TPWImage& ViewerTest::MakeViewer(int width, int height) {
  viewer.reset();
  viewer = std::make_unique<TPWImage>(host, 0, 0, width, height);
  PumpMessages();
  return *viewer;
}

}  // namespace pagewell::testing
