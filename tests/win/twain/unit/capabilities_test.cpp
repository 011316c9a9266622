// Capability negotiation against the fake manager: probes, resolution
// information, frames, typed reads and the exact triplets they send.
#include <gtest/gtest.h>

#include <memory>

#include "fake_dsm.h"
#include "twain/lu_twain.h"

namespace pagewell::testing {
namespace {

using namespace twain;
using Log = std::vector<std::string>;

class CapabilitiesTest : public ::testing::Test {
 protected:
  CapabilitiesTest() {
    TFakeSource source;
    source.Name = "Flatbed";
    dsm.Sources.push_back(source);
  }
  TFakeSource& Source() { return dsm.Sources[0]; }
  TluTwain& Open() {
    session = std::make_unique<TluTwain>("Orlavex Pagewell", 1, 1, dsm.Entry());
    session->SelectDevice(0);
    session->OpenSourceIfNeeded();
    dsm.ClearCalls();
    return *session;
  }

  TFakeDsm dsm;
  std::unique_ptr<TluTwain> session;
};

TEST_F(CapabilitiesTest, AOneValueUnitIsProbedZeroToSixAndRestored) {
  TFakeCapability units = OneValue(TWTY_UINT16, 1);
  units.Accepted = {0, 1};
  Source().Caps[ICAP_UNITS] = units;
  TluTwain& twain = Open();
  twain.SetUnits(0);
  Log expected = {"CAPABILITY GET 0102", "CAPABILITY QUERYSUPPORT 0102"};
  for (int u = 0; u <= 6; ++u) {
    expected.push_back("CAPABILITY SET 0102=" + std::to_string(u));
    if (u <= 1)
      expected.push_back("CAPABILITY GET 0102");
    else
      expected.push_back("STATUS GET");
  }
  expected.push_back("CAPABILITY SET 0102=1");  // back to the unit it had
  expected.push_back("CAPABILITY SET 0102=0");  // the set asked for
  EXPECT_EQ(dsm.Log(), expected);
  EXPECT_TRUE(twain.UnitSupported(0));
  EXPECT_TRUE(twain.UnitSupported(1));
  EXPECT_FALSE(twain.UnitSupported(2));
  EXPECT_TRUE(twain.SeveralUnits());
  EXPECT_EQ(twain.Units(), 0);
}

TEST_F(CapabilitiesTest, ProbingEndsWithoutRestoreWhenTheLastValueWasCurrent) {
  Source().Caps[ICAP_PIXELTYPE] = OneValue(TWTY_UINT16, 16);
  TluTwain& twain = Open();
  EXPECT_TRUE(twain.PixelTypeSupported(16));
  const Log log = dsm.Log();
  // 0..11 and 16 are probed, 12..15 never; no restore after the last probe.
  EXPECT_EQ(std::count(log.begin(), log.end(), "CAPABILITY SET 0101=12"), 0);
  EXPECT_EQ(log[log.size() - 2], "CAPABILITY SET 0101=16");
  EXPECT_EQ(log.back(), "CAPABILITY GET 0101");
  EXPECT_TRUE(twain.PixelTypeSupported(11));
  EXPECT_FALSE(twain.PixelTypeSupported(12));
}

TEST_F(CapabilitiesTest, WithoutTheSetFlagOnlyTheCurrentValueCounts) {
  for (TW_UINT16 type : {TWTY_INT32, TWTY_UINT16}) {
    TFakeCapability units = OneValue(TWTY_UINT16, 1);
    units.Support = TWQC_GET | TWQC_GETCURRENT;
    units.SupportItemType = type;
    TFakeCapability pixels = OneValue(TWTY_UINT16, 2);
    pixels.Support = TWQC_GET;
    pixels.SupportItemType = type;
    Source().Caps[ICAP_UNITS] = units;
    Source().Caps[ICAP_PIXELTYPE] = pixels;
    TluTwain& twain = Open();
    EXPECT_FALSE(twain.CanSet(ICAP_UNITS));
    EXPECT_TRUE(twain.UnitSupported(1));
    EXPECT_FALSE(twain.UnitSupported(0));
    EXPECT_FALSE(twain.SeveralUnits());
    EXPECT_TRUE(twain.PixelTypeSupported(2));
    EXPECT_FALSE(twain.PixelTypeSupported(0));
    const Log log = dsm.Log();
    EXPECT_EQ(std::count_if(log.begin(), log.end(), [](const std::string& l) { return l.find("SET") != l.npos; }), 0);
    session.reset();
  }
}

TEST_F(CapabilitiesTest, QuerySupportOfAnotherItemTypeGivesNoFlags) {
  TFakeCapability units = OneValue(TWTY_UINT16, 1);
  units.SupportItemType = TWTY_BOOL;
  Source().Caps[ICAP_UNITS] = units;
  TluTwain& twain = Open();
  EXPECT_EQ(twain.QuerySupport(ICAP_UNITS), 0u);
}

TEST_F(CapabilitiesTest, AnEnumerationListsThePixelTypesAndUnsupportedSetsSendNothing) {
  Source().Caps[ICAP_PIXELTYPE] = Enumeration(TWTY_UINT16, {0, 2}, 1);
  TluTwain& twain = Open();
  EXPECT_EQ(twain.PixelType(), 2);
  EXPECT_TRUE(twain.PixelTypeSupported(0));
  EXPECT_FALSE(twain.PixelTypeSupported(1));
  EXPECT_FALSE(twain.PixelTypeSupported(17));
  EXPECT_FALSE(twain.PixelTypeSupported(-1));
  dsm.ClearCalls();
  twain.SetPixelType(1);
  twain.SetPixelType(99);
  EXPECT_TRUE(dsm.Log().empty());
  twain.SetPixelType(0);
  EXPECT_EQ(dsm.Log(), (Log{"CAPABILITY SET 0101=0"}));
  EXPECT_EQ(twain.PixelType(), 0);
}

TEST_F(CapabilitiesTest, AFailedReadLeavesTheListUnbuiltSoItIsAskedAgain) {
  TluTwain& twain = Open();
  EXPECT_FALSE(twain.PixelTypeSupported(0));
  Source().Caps[ICAP_PIXELTYPE] = Enumeration(TWTY_UINT16, {0, 1}, 0);
  EXPECT_TRUE(twain.PixelTypeSupported(1));
}

TEST_F(CapabilitiesTest, ResolutionRangeCountsValuesAndAcceptsItsBounds) {
  Source().Caps[ICAP_XRESOLUTION] = Range(100, 600, 100, 200);
  Source().Caps[ICAP_YRESOLUTION] = Range(100, 600, 100, 200);
  TluTwain& twain = Open();
  EXPECT_EQ(twain.Resolution(), 200.0);
  EXPECT_EQ(twain.ResolutionCount(), 6);
  EXPECT_EQ(twain.ResolutionValue(1), 100.0);
  EXPECT_EQ(twain.ResolutionValue(6), 600.0);
  EXPECT_EQ(twain.ResolutionValue(7), 0.0);
  EXPECT_EQ(twain.ResolutionValue(0), 0.0);

  for (double outside : {99.99, 600.01}) {
    dsm.ClearCalls();
    twain.SetResolution(outside);
    EXPECT_TRUE(dsm.Log().empty()) << outside;
  }
  for (double bound : {100.0, 600.0}) {
    dsm.ClearCalls();
    twain.SetResolution(bound);
    EXPECT_EQ(dsm.Log(), (Log{"CAPABILITY SET 1118=" + std::to_string(Fix(bound)), "CAPABILITY GET 1118",
                              "CAPABILITY GET 1119", "CAPABILITY SET 1119=" + std::to_string(Fix(bound)),
                              "CAPABILITY GET 1118", "CAPABILITY GET 1119"}));
    EXPECT_EQ(twain.Resolution(), bound);
    EXPECT_EQ(twain.ResolutionInfo().Y.Current, bound);
  }
}

TEST_F(CapabilitiesTest, ARangeWithoutProgressOffersOneValue) {
  Source().Caps[ICAP_XRESOLUTION] = Range(300, 300, 0, 300);
  TluTwain& twain = Open();
  EXPECT_EQ(twain.ResolutionCount(), 1);
  EXPECT_EQ(twain.ResolutionValue(1), 300.0);
}

TEST_F(CapabilitiesTest, AResolutionListKeepsEveryValueInOrder) {
  std::vector<TW_UINT32> values;
  for (int dpi = 50; dpi <= 1250; dpi += 50) values.push_back(Fix(dpi));
  Source().Caps[ICAP_XRESOLUTION] = Enumeration(TWTY_FIX32, values, 5);
  Source().Caps[ICAP_YRESOLUTION] = OneValue(TWTY_FIX32, Fix(150));
  TluTwain& twain = Open();
  ASSERT_EQ(twain.ResolutionCount(), 25);
  EXPECT_EQ(twain.ResolutionValue(25), 1250.0);
  EXPECT_EQ(twain.ResolutionValue(26), 0.0);
  EXPECT_EQ(twain.Resolution(), 300.0);
  // A one-value Y answer fills only the Y fields.
  const auto& info = twain.ResolutionInfo();
  EXPECT_TRUE(info.Several);
  EXPECT_EQ(info.X.Minimum, 50.0);
  EXPECT_EQ(info.X.Maximum, 1250.0);
  EXPECT_EQ(info.Y.Minimum, 150.0);
  EXPECT_EQ(info.Y.Maximum, 150.0);
  EXPECT_EQ(info.Y.Current, 150.0);
}

TEST_F(CapabilitiesTest, ASingleResolutionIsNeverSet) {
  Source().Caps[ICAP_XRESOLUTION] = OneValue(TWTY_FIX32, Fix(200));
  Source().Caps[ICAP_YRESOLUTION] = OneValue(TWTY_FIX32, Fix(200));
  TluTwain& twain = Open();
  EXPECT_EQ(twain.ResolutionCount(), 1);
  dsm.ClearCalls();
  twain.SetResolution(200);
  EXPECT_TRUE(dsm.Log().empty());
}

TEST_F(CapabilitiesTest, SettingUnitsForgetsTheResolutions) {
  Source().Caps[ICAP_UNITS] = Enumeration(TWTY_UINT16, {0, 1}, 0);
  Source().Caps[ICAP_XRESOLUTION] = OneValue(TWTY_FIX32, Fix(200));
  TluTwain& twain = Open();
  EXPECT_EQ(twain.Resolution(), 200.0);
  twain.SetUnits(1);
  Source().Caps[ICAP_XRESOLUTION] = OneValue(TWTY_FIX32, Fix(78.74));
  EXPECT_NEAR(twain.Resolution(), 78.74, 1e-4);
}

TEST_F(CapabilitiesTest, SetFrameRefusesEmptyFramesAndSetsTheSizeFirst) {
  Source().Caps[ICAP_SUPPORTEDSIZES] = OneValue(TWTY_UINT16, 1);
  Source().Layout.DocumentNumber = 7;
  TluTwain& twain = Open();
  twain.SetFrame(1, 1, 0, 5);
  twain.SetFrame(2, 1, 0, 5);
  twain.SetFrame(0, 5, 3, 3);
  EXPECT_TRUE(dsm.Log().empty());

  EXPECT_EQ(twain.FrameBottom(), 0.0);  // reads the layout, keeping its numbers
  dsm.ClearCalls();
  twain.SetFrame(0.5, 8.5, 1.25, 11);
  EXPECT_EQ(dsm.Log(), (Log{"CAPABILITY SET 1122=0", "IMAGELAYOUT SET"}));
  EXPECT_EQ(Source().Layout.DocumentNumber, 7u);
  EXPECT_EQ(twain.FrameLeft(), 0.5);
  EXPECT_EQ(twain.FrameRight(), 8.5);
  EXPECT_EQ(twain.FrameTop(), 1.25);
  EXPECT_EQ(twain.FrameBottom(), 11.0);
}

TEST_F(CapabilitiesTest, TypedReadsAndTheirNeutralValues) {
  Source().Caps[CAP_DEVICEONLINE] = Enumeration(TWTY_BOOL, {0, 1}, 1);
  Source().Caps[CAP_UICONTROLLABLE] = OneValue(TWTY_UINT16, 1);  // wrong type
  Source().Caps[CAP_DUPLEX] = OneValue(TWTY_UINT16, 2);
  Source().Caps[ICAP_PHYSICALWIDTH] = OneValue(TWTY_FIX32, Fix(8.5));
  Source().Caps[ICAP_PHYSICALHEIGHT] = Range(1, 14, 1, 11);
  TluTwain& twain = Open();
  EXPECT_TRUE(twain.DeviceOnline());
  EXPECT_FALSE(twain.UIControllable());
  EXPECT_FALSE(twain.AutoFeed());
  EXPECT_EQ(twain.DuplexType(), 2);
  EXPECT_EQ(twain.PhysicalWidth(), 8.5);
  EXPECT_EQ(twain.PhysicalHeight(), -1.0);
  EXPECT_EQ(twain.Units(), -1);

  // DuplexType of an enumeration, or a value beyond the known ones, is 0.
  Source().Caps[CAP_DUPLEX] = Enumeration(TWTY_UINT16, {0, 1}, 1);
  EXPECT_EQ(twain.DuplexType(), 0);
  Source().Caps[CAP_DUPLEX] = OneValue(TWTY_UINT16, 3);
  EXPECT_EQ(twain.DuplexType(), 0);
}

TEST_F(CapabilitiesTest, FailuresReportTheConditionCode) {
  TluTwain& twain = Open();
  TCapabilityValue value;
  EXPECT_FALSE(twain.GetCapability(ICAP_BITDEPTH, value));
  EXPECT_EQ(twain.LastConditionCode(), TWCC_CAPUNSUPPORTED);
  EXPECT_EQ(dsm.Log(), (Log{"CAPABILITY GET 112B", "STATUS GET"}));
}

TEST_F(CapabilitiesTest, FeederAndPageSizeSetBothCapabilitiesInOrder) {
  TluTwain& twain = Open();
  twain.SetFeeder(true);
  twain.SetAutoPageSize(false);
  twain.SetDuplex(true);
  const Log log = dsm.Log();
  Log sets;
  for (const std::string& line : log)
    if (line.find("SET") != line.npos) sets.push_back(line);
  EXPECT_EQ(sets, (Log{"CAPABILITY SET 1002=1", "CAPABILITY SET 1007=1", "CAPABILITY SET 112D=0",
                       "CAPABILITY SET 1150=0", "CAPABILITY SET 1013=1"}));
}

TEST_F(CapabilitiesTest, MicrIsEnabledOnlyWhenTheSourceConfirms) {
  TFakeCapability micr = OneValue(TWTY_BOOL, 0);
  micr.Settable = false;
  Source().Caps[CAP_MICRENABLED] = micr;
  TluTwain& twain = Open();
  twain.SetMICREnabled(true);
  EXPECT_FALSE(twain.MICREnabled());
  Source().Caps[CAP_MICRENABLED].Settable = true;
  twain.SetMICREnabled(true);
  EXPECT_TRUE(twain.MICREnabled());
  EXPECT_TRUE(twain.MICRCapable());
  twain.CloseSource();
  EXPECT_FALSE(twain.MICREnabled());
}

TEST_F(CapabilitiesTest, SetsAreRefusedWhileTheSourceIsEnabled) {
  Source().Caps[ICAP_PIXELFLAVOR] = OneValue(TWTY_UINT16, 0);
  TluTwain& twain = Open();
  twain.Acquire();
  dsm.ClearCalls();
  EXPECT_FALSE(twain.SetCapUInt16(ICAP_PIXELTYPE, 0));
  twain.SetFrame(0, 1, 0, 1);
  EXPECT_TRUE(dsm.Log().empty());
}

}  // namespace
}  // namespace pagewell::testing
