// Memory running out in the middle of a batch: the batch ends as if
// cancelled, the pages already delivered stay, and the next scan works.
// This program replaces the global allocation functions so that a test can
// make every large allocation fail from a chosen moment on; the code under
// test is linked in, the control's own builds know nothing of it.
#include <cstdlib>
#include <fstream>
#include <new>
#include <string>

#include "viewer_test_support.h"

// The replacements pair malloc with free themselves.
#pragma GCC diagnostic ignored "-Wmismatched-new-delete"

namespace {

// Allocations of at least this many bytes fail while armed.
std::size_t g_failFrom = static_cast<std::size_t>(-1);

}  // namespace

void* operator new(std::size_t size) {
  if (size >= g_failFrom) throw std::bad_alloc();
  if (void* block = std::malloc(size ? size : 1)) return block;
  throw std::bad_alloc();
}
void operator delete(void* block) noexcept { std::free(block); }
void operator delete(void* block, std::size_t) noexcept { std::free(block); }

namespace pagewell::testing {
namespace {

// Pages of 6 x 4 inches at 150 dpi in RGB: about 1.6 MB each.
const char kConfig[] = R"(
[device]
name = Memory Feeder
pixel_types = 2
pixel_type = 2
resolutions = 150
resolution = 150
frame = 0 0 6 4
feeder = yes
pages = 3
)";

constexpr std::size_t kLargeAllocation = 1 << 20;

class OutOfMemoryTest : public ViewerTest {
 protected:
  static void SetUpTestSuite() {
    char folder[MAX_PATH];
    GetTempPathA(sizeof folder, folder);
    configPath = std::string(folder) + "pagewell-out-of-memory-test.ini";
    std::ofstream(configPath) << kConfig;
    SetEnvironmentVariableA("PAGEWELL_VIRTUAL_SCANNER_CONFIG", configPath.c_str());
  }
  static void TearDownTestSuite() {
    DeleteFileA(configPath.c_str());
    SetEnvironmentVariableA("PAGEWELL_VIRTUAL_SCANNER_CONFIG", nullptr);
  }
  void TearDown() override {
    g_failFrom = static_cast<std::size_t>(-1);
    ViewerTest::TearDown();
  }
  static std::string configPath;
};

std::string OutOfMemoryTest::configPath;

TEST_F(OutOfMemoryTest, BatchEndsAsCancelledKeepingWhatWasDeliveredAndTheNextScanWorks) {
  TPWImage& v = MakeViewer(200, 200);
  v.SetShowUI(false);
  v.SetMultiImage(true);
  ASSERT_TRUE(v.SelectDeviceByName("Memory Feeder"));
  int delivered = 0, cancelled = 0, finished = 0;
  v.OnAcquire = [&](TluTwain&) {
    // From the second page on, no large block can be had.
    if (++delivered == 2) g_failFrom = kLargeAllocation;
  };
  v.OnAcquireCancel = [&](TluTwain&) { ++cancelled; };
  v.OnAcquireFinish = [&](TluTwain&) { ++finished; };
  v.Acquire();
  g_failFrom = static_cast<std::size_t>(-1);
  EXPECT_EQ(delivered, 2);
  EXPECT_EQ(cancelled, 1);
  EXPECT_EQ(finished, 1);
  // The second page is still the viewer's image.
  ASSERT_TRUE(v.ImageLoaded());
  EXPECT_EQ(v.ImageWidth(), 900);
  EXPECT_EQ(v.ImageHeight(), 600);

  delivered = cancelled = finished = 0;
  v.OnAcquire = [&](TluTwain&) { ++delivered; };
  v.Acquire();
  EXPECT_EQ(delivered, 3);
  EXPECT_EQ(cancelled, 0);
  EXPECT_EQ(finished, 1);
}

}  // namespace
}  // namespace pagewell::testing
