#pragma once
// What the viewer tests share: a visible top-level window that holds the
// viewer under test, pages whose every pixel tells where it came from, and
// reading back what the window shows.
#include <gtest/gtest.h>

#include <windows.h>

#include <memory>

#include "imaging/lu_bitmap.h"
#include "viewer/pw_image.h"

namespace pagewell::testing {

// Pixel (x, y) of a pattern page: red and green are the low bytes of x and
// y, blue holds their next four bits, so every pixel of a page up to
// 4096 × 4096 differs.
TColor PatternColor(int x, int y);
TluBitmap PatternPage(int width, int height);

// Gives the viewer a copy of the page the way the form does: through a
// bitmap handle.
void LoadPage(TPWImage& viewer, const TluBitmap& page);

// What the window shows in its client area, as a 24-bit raster.
TRaster CaptureClient(HWND window);

// Dispatches the messages waiting in the thread's queue.
void PumpMessages();

class ViewerTest : public ::testing::Test {
 protected:
  void SetUp() override;
  void TearDown() override;
  // A fresh viewer at (0, 0) of the test window.
  TPWImage& MakeViewer(int width, int height);

  HWND host = nullptr;
  std::unique_ptr<TPWImage> viewer;
};

}  // namespace pagewell::testing
