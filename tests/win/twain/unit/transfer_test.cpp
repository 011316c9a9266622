// Native transfers against the fake manager: single images and batches,
// the end of an acquisition, DIB conversion rules and the MICR read.
#include <gtest/gtest.h>

#include <memory>
#include <stdexcept>

#include "fake_dsm.h"
#include "twain/lu_twain.h"

namespace pagewell::testing {
namespace {

using namespace twain;
using Log = std::vector<std::string>;

// A 2 × 2 1-bit page whose top row is bit 0 then bit 1 and bottom row the reverse.
std::vector<std::uint8_t> OneBitPage(std::vector<std::uint32_t> table) {
  return MakeDib(2, 2, 1, table, {{0x40}, {0x80}});
}
// A 24-bit page of one colour (blue, green, red bytes).
std::vector<std::uint8_t> ColourPage(std::uint8_t b, std::uint8_t g, std::uint8_t r) {
  return MakeDib(1, 1, 24, {}, {{b, g, r}});
}

class TransferTest : public ::testing::Test {
 protected:
  TransferTest() {
    TFakeSource source;
    source.Name = "Flatbed";
    source.Caps[ICAP_PIXELFLAVOR] = OneValue(TWTY_UINT16, 0);
    dsm.Sources.push_back(source);
  }
  TFakeSource& Source() { return dsm.Sources[0]; }
  void AddPages(int count) {
    for (int i = 0; i < count; ++i) Source().Pages.push_back(ColourPage(0, 0, static_cast<std::uint8_t>(i + 1)));
  }
  TluTwain& Open() {
    session = std::make_unique<TluTwain>("Orlavex Pagewell", 1, 1, dsm.Entry());
    session->OnImage = [this](TluTwain& t) {
      const TBMPImage* image = t.CurrentImage();
      images.push_back(image ? image->PixelColor(0, 0) : 0xFFFFFFFF);
      micrDuringImage.push_back(t.MICRText());
    };
    session->OnFinish = [this](TluTwain&) { ++finished; };
    session->SelectDevice(0);
    return *session;
  }
  // Starts the acquisition and lets the source announce its images.
  void Scan() {
    session->Acquire();
    dsm.ClearCalls();
    Source().PendingEvent = MSG_XFERREADY;
    SendMessageA(session->Window(), WM_USER + 100, 0, 0);
  }

  TFakeDsm dsm;
  std::unique_ptr<TluTwain> session;
  std::vector<TColor> images;
  std::vector<std::string> micrDuringImage;
  int finished = 0;
};

TEST_F(TransferTest, OneImageThenTheRestIsDiscarded) {
  AddPages(3);
  Open();
  Scan();
  EXPECT_EQ(dsm.Log(), (Log{"EVENT PROCESSEVENT", "IMAGENATIVEXFER GET", "PENDINGXFERS ENDXFER", "PENDINGXFERS RESET",
                            "USERINTERFACE DISABLEDS"}));
  EXPECT_EQ(images, (std::vector<TColor>{RGBColor(1, 0, 0)}));
  EXPECT_EQ(finished, 1);
  EXPECT_TRUE(session->AcquireDone());
  EXPECT_FALSE(session->SourceEnabled());
  EXPECT_TRUE(Source().Pages.empty());
}

TEST_F(TransferTest, BatchesStopAtMaxImages) {
  struct Case {
    int maxImages;
    std::size_t expected;
  };
  for (const Case& c : {Case{2, 2}, Case{0, 3}, Case{-1, 3}, Case{5, 3}}) {
    SCOPED_TRACE(c.maxImages);
    Source().Pages.clear();
    Source().PagesTransferred = 0;
    AddPages(3);
    images.clear();
    finished = 0;
    TluTwain& twain = Open();
    twain.SetMultiImage(true);
    twain.SetMaxImages(c.maxImages);
    Scan();
    EXPECT_EQ(images.size(), c.expected);
    EXPECT_EQ(twain.TransferredCount(), static_cast<int>(c.expected));
    const Log log = dsm.Log();
    ASSERT_GE(log.size(), 2u);
    EXPECT_EQ(log[log.size() - 2], "PENDINGXFERS RESET");
    EXPECT_EQ(log.back(), "USERINTERFACE DISABLEDS");
    EXPECT_EQ(finished, 1);
    EXPECT_EQ(twain.ImageCount(), 1);  // the list keeps the newest image only
    session.reset();
  }
}

TEST_F(TransferTest, AKeptInterfaceStaysEnabledUntilTheSourceAsksToClose) {
  AddPages(3);
  TluTwain& twain = Open();
  twain.SetMultiImage(true);
  twain.SetShowUI(true);
  twain.SetKeepSourceEnabled(true);
  Scan();
  Log log = dsm.Log();
  EXPECT_EQ(std::count(log.begin(), log.end(), "PENDINGXFERS RESET"), 0);
  EXPECT_EQ(std::count(log.begin(), log.end(), "USERINTERFACE DISABLEDS"), 0);
  EXPECT_EQ(finished, 0);
  EXPECT_FALSE(twain.AcquireDone());
  EXPECT_TRUE(twain.SourceEnabled());

  // A second batch, cut short by MaxImages: the pending rest is reset so
  // the source can announce the next batch, and it stays enabled.
  AddPages(3);
  twain.SetMaxImages(1);
  dsm.ClearCalls();
  Source().PendingEvent = MSG_XFERREADY;
  SendMessageA(twain.Window(), WM_USER + 100, 0, 0);
  log = dsm.Log();
  EXPECT_EQ(log.back(), "PENDINGXFERS RESET");
  EXPECT_TRUE(twain.SourceEnabled());

  Source().PendingEvent = MSG_CLOSEDSREQ;
  SendMessageA(twain.Window(), WM_USER + 100, 0, 0);
  EXPECT_EQ(finished, 1);
  EXPECT_TRUE(twain.AcquireDone());
  EXPECT_EQ(images.size(), 4u);
}

TEST_F(TransferTest, FailedTransfersAreSkippedWithoutAnImage) {
  AddPages(3);
  Source().TransferRcs = {TWRC_XFERDONE, TWRC_CANCEL, TWRC_XFERDONE};
  TluTwain& twain = Open();
  twain.SetMultiImage(true);
  Scan();
  // The fake drops the cancelled page at its ENDXFER, so pages 1 and 3 arrive.
  EXPECT_EQ(images, (std::vector<TColor>{RGBColor(1, 0, 0), RGBColor(3, 0, 0)}));
  EXPECT_EQ(twain.TransferredCount(), 2);
}

TEST_F(TransferTest, ASourceThatNeverRunsOutOfFailingPagesDoesNotHoldTheLoop) {
  AddPages(1000);
  Source().TransferRcs.assign(1000, TWRC_FAILURE);
  TluTwain& twain = Open();
  twain.SetMultiImage(true);
  Scan();
  EXPECT_TRUE(images.empty());
  EXPECT_TRUE(twain.AcquireDone());
  EXPECT_LT(dsm.Calls.size(), 100u);
}

TEST_F(TransferTest, WhiteFirstTablesFollowTheSourcesName) {
  struct Case {
    std::string name;
    std::vector<std::uint32_t> table;
    TColor bitZero;  // colour of the top-left pixel, whose bit is 0
  };
  const std::vector<Case> cases = {
      {"VISIONEER One", {0xFFFFFF, 0x000000}, clBlack}, {"Xerox DocuMate", {0xFFFFFF, 0x000000}, clBlack},
      {"documate 152", {0xFFFFFF, 0x000000}, clBlack},  {"AVision", {0xFFFFFF, 0x000000}, clBlack},
      {"HP LaserJet 3150", {0xFFFFFF, 0x000000}, clBlack}, {"Strobe XP", {0xFFFFFF, 0x000000}, clBlack},
      {"Av lowercase v", {0xFFFFFF, 0x000000}, clWhite},  {"HP LaserJet 3150 x", {0xFFFFFF, 0x000000}, clWhite},
      {"Flatbed", {0xFFFFFF, 0x000000}, clWhite},         {"Flatbed", {0xFEFFFF, 0x000000}, RGBColor(254, 255, 255)},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    Source().Name = c.name;
    Source().Pages = {OneBitPage(c.table)};
    Source().PagesTransferred = 0;
    TluTwain& twain = Open();
    Scan();
    const TBMPImage* image = twain.CurrentImage();
    ASSERT_NE(image, nullptr);
    EXPECT_EQ(image->PixelFormat(), TPixelFormat::pf1bit);
    EXPECT_EQ(image->PixelColor(0, 0), c.bitZero);
    EXPECT_NE(image->PixelColor(1, 0), c.bitZero);
    EXPECT_EQ(image->PixelColor(0, 1), image->PixelColor(1, 0));
    if (RedOf(c.table[0]) == 255 && c.table[0] == 0xFFFFFF) {
      EXPECT_EQ(image->Palette(), (std::vector<TColor>{clBlack, clWhite}));
    }
    session.reset();
  }
}

TEST_F(TransferTest, AMissingResolutionComesFromTheSource) {
  Source().Caps[ICAP_XRESOLUTION] = OneValue(TWTY_FIX32, Fix(300));
  Source().Caps[ICAP_YRESOLUTION] = OneValue(TWTY_FIX32, Fix(200));
  Source().Pages = {MakeDib(1, 1, 24, {}, {{0, 0, 0}}, 0, 0)};
  TluTwain& twain = Open();
  Scan();
  ASSERT_NE(twain.CurrentImage(), nullptr);
  EXPECT_EQ(twain.CurrentImage()->XPelsPerMeter, 11811);
  EXPECT_EQ(twain.CurrentImage()->YPelsPerMeter, 7874);
}

TEST_F(TransferTest, ADibShorterThanItsHeaderClaimsIsAFailedImage) {
  std::vector<std::uint8_t> dib = MakeDib(4, 4, 8, std::vector<std::uint32_t>(256, 0), {});
  dib.resize(dib.size() - 5);  // the last row is cut
  Source().Pages = {dib};
  TluTwain& twain = Open();
  Scan();
  EXPECT_TRUE(images.empty());
  EXPECT_EQ(twain.ImageCount(), 0);
  EXPECT_EQ(finished, 1);
}

TEST_F(TransferTest, MicrTextIsReadAfterEachTransfer) {
  AddPages(2);
  Source().MicrTexts = {"c123456c", "c999c"};
  Source().Caps[CAP_MICRENABLED] = OneValue(TWTY_BOOL, 0);
  Source().Caps[ICAP_EXTIMAGEINFO] = OneValue(TWTY_BOOL, 1);
  TluTwain& twain = Open();
  twain.SetMultiImage(true);
  twain.SetMICREnabled(true);
  ASSERT_TRUE(twain.MICREnabled());
  Scan();
  // During an image's event the text is still that of the image before.
  EXPECT_EQ(micrDuringImage, (std::vector<std::string>{"", "c123456c"}));
  EXPECT_EQ(twain.MICRText(), "c999c");
  const Log log = dsm.Log();
  EXPECT_EQ(std::count(log.begin(), log.end(), "EXTIMAGEINFO GET"), 2);
  twain.CloseSource();
  EXPECT_EQ(twain.MICRText(), "");
}

TEST_F(TransferTest, WithoutExtendedInfoNoMicrIsAskedFor) {
  AddPages(1);
  Source().MicrTexts = {"c1c"};
  Source().Caps[CAP_MICRENABLED] = OneValue(TWTY_BOOL, 0);
  Source().Caps[ICAP_EXTIMAGEINFO] = OneValue(TWTY_BOOL, 0);
  TluTwain& twain = Open();
  twain.SetMICREnabled(true);
  Scan();
  const Log log = dsm.Log();
  EXPECT_EQ(std::count(log.begin(), log.end(), "EXTIMAGEINFO GET"), 0);
  EXPECT_EQ(twain.MICRText(), "");
}

TEST_F(TransferTest, TheManagersMemoryFunctionsAreUsedWhenOffered) {
  dsm.Dsm2 = true;
  AddPages(1);
  TluTwain& twain = Open();
  twain.SetCallbackMode(3);
  Scan();
  EXPECT_EQ(images.size(), 1u);
  EXPECT_EQ(dsm.Log().front(), "EVENT PROCESSEVENT");
}

TEST_F(TransferTest, TheCallbackPathHandsTheTransferToTheWindowThread) {
  dsm.Dsm2 = true;
  AddPages(2);
  TluTwain& twain = Open();
  twain.SetCallbackMode(1);
  twain.SetMultiImage(true);
  twain.Acquire();
  ASSERT_NE(Source().Callback, nullptr);
  auto callback = reinterpret_cast<TWAINCALLBACKPROC>(Source().Callback);
  TW_IDENTITY source{};
  EXPECT_EQ(callback(&source, nullptr, DG_IMAGE, DAT_NULL, MSG_XFERREADY, nullptr), TWRC_FAILURE);
  EXPECT_TRUE(images.empty());
  EXPECT_EQ(callback(&source, nullptr, DG_CONTROL, DAT_NULL, MSG_XFERREADY, nullptr), TWRC_SUCCESS);
  // The transfer runs only when the window's thread handles WM_USER + 1.
  EXPECT_TRUE(images.empty());
  const DWORD start = GetTickCount();
  while (images.size() < 2 && GetTickCount() - start < 5000) {
    MSG message;
    while (PeekMessageA(&message, nullptr, 0, 0, PM_REMOVE)) DispatchMessageA(&message);
    Sleep(1);
  }
  EXPECT_EQ(images.size(), 2u);
  EXPECT_TRUE(twain.AcquireDone());
}

TEST_F(TransferTest, AThrowingImageHandlerDoesNotBreakTheBatch) {
  AddPages(3);
  TluTwain& twain = Open();
  twain.SetMultiImage(true);
  int seen = 0;
  twain.OnImage = [&seen](TluTwain&) {
    ++seen;
    throw std::runtime_error("handler failed");
  };
  Scan();
  EXPECT_EQ(seen, 3);
  EXPECT_EQ(finished, 1);
  EXPECT_TRUE(twain.AcquireDone());
}

// A handler that cannot keep its image (the disk is full) ends the batch as
// a cancel does: no further image is fetched, the pending ones are reset and
// the source is disabled; the next acquisition runs normally.
TEST_F(TransferTest, AHandlerThatCannotKeepItsImageEndsTheBatch) {
  for (bool multiImage : {true, false}) {
    SCOPED_TRACE(multiImage ? "batch" : "single image");
    Source().Pages.clear();
    Source().PagesTransferred = 0;
    AddPages(4);
    finished = 0;
    TluTwain& twain = Open();
    twain.SetMultiImage(multiImage);
    int seen = 0, cancelled = 0;
    twain.OnImage = [&](TluTwain& t) {
      if (++seen == 2 || !multiImage) t.EndBatchAfterThisImage();
    };
    twain.OnCancel = [&](TluTwain&) { ++cancelled; };
    Scan();
    EXPECT_EQ(seen, multiImage ? 2 : 1);
    EXPECT_EQ(cancelled, 1);
    EXPECT_EQ(finished, 1);
    EXPECT_TRUE(twain.AcquireDone());
    EXPECT_FALSE(twain.SourceEnabled());
    const Log log = dsm.Log();
    ASSERT_GE(log.size(), 3u);
    EXPECT_EQ(log[log.size() - 3], "PENDINGXFERS ENDXFER");
    EXPECT_EQ(log[log.size() - 2], "PENDINGXFERS RESET");
    EXPECT_EQ(log.back(), "USERINTERFACE DISABLEDS");

    // The request does not outlive its batch.
    AddPages(2);
    seen = 0;
    twain.OnImage = [&](TluTwain&) { ++seen; };
    Scan();
    EXPECT_EQ(seen, multiImage ? 2 : 1);
    EXPECT_EQ(cancelled, 1);
    session.reset();
  }
}

TEST_F(TransferTest, ImageIndexChoosesAmongKeptImages) {
  AddPages(3);
  TluTwain& twain = Open();
  twain.SetAppendMode(true);
  twain.SetMultiImage(true);
  Scan();
  ASSERT_EQ(twain.ImageCount(), 3);
  twain.SetImageIndex(2);
  EXPECT_EQ(twain.CurrentImage()->PixelColor(0, 0), RGBColor(2, 0, 0));
  twain.SetImageIndex(0);
  EXPECT_EQ(twain.ImageIndex(), 1);
  twain.SetImageIndex(9);
  EXPECT_EQ(twain.ImageIndex(), 3);
}

}  // namespace
}  // namespace pagewell::testing
