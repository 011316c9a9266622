// The session against the fake manager: identity, listing and selecting
// sources, opening, enabling, closing, and the window procedure.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstring>
#include <memory>

#include "fake_dsm.h"
#include "twain/lu_twain.h"
#include "twain/twain_values.h"

namespace pagewell::testing {
namespace {

using namespace twain;
using Log = std::vector<std::string>;

class SessionTest : public ::testing::Test {
 protected:
  void AddSource(const std::string& name) {
    TFakeSource source;
    source.Name = name;
    source.Caps[CAP_INDICATORS] = OneValue(TWTY_BOOL, 1);
    source.Caps[ICAP_PIXELFLAVOR] = OneValue(TWTY_UINT16, 0);
    dsm.Sources.push_back(source);
  }
  TluTwain& Open() {
    session = std::make_unique<TluTwain>("Orlavex Pagewell", 1, 1, dsm.Entry());
    return *session;
  }
  // Sends one window message to the session's hidden window.
  void Notify(TW_UINT16 event) {
    dsm.Sources[0].PendingEvent = event;
    SendMessageA(session->Window(), WM_USER + 100, 0, 0);
  }

  TFakeDsm dsm;
  std::unique_ptr<TluTwain> session;
};

TEST_F(SessionTest, IdentityCarriesTheApplicationAndProtocol) {
  TluTwain& twain = Open();
  const TW_IDENTITY& id = twain.AppIdentity();
  EXPECT_EQ(id.Version.MajorNum, 1);
  EXPECT_EQ(id.Version.MinorNum, 1);
  EXPECT_EQ(id.Version.Language, 0xFFFF);
  EXPECT_EQ(id.Version.Country, 1);
  EXPECT_STREQ(id.Version.Info, "Orlavex Pagewell");
  EXPECT_EQ(id.ProtocolMajor, 2);
  EXPECT_EQ(id.ProtocolMinor, 2);
  EXPECT_EQ(id.SupportedGroups, 0x20000003u);
  EXPECT_EQ(twain.AppProductName(), "Orlavex Pagewell");

  // A product name is cut to 32 characters and the field zero-filled.
  twain.SetAppProductName(std::string(40, 'x'));
  EXPECT_EQ(twain.AppProductName(), std::string(32, 'x'));
  EXPECT_EQ(id.ProductName[32], 0);
  EXPECT_EQ(id.ProductName[33], 0);
  EXPECT_STREQ(id.Version.Info, "Orlavex Pagewell");
}

TEST_F(SessionTest, OpeningListsEverySourceInTheManagersOrder) {
  AddSource("Flatbed");
  AddSource("Feeder");
  AddSource("Flatbed");
  TluTwain& twain = Open();
  EXPECT_TRUE(twain.DSMOpen());
  EXPECT_EQ(dsm.Log(), (Log{"PARENT OPENDSM", "IDENTITY GETFIRST", "IDENTITY GETNEXT", "IDENTITY GETNEXT",
                            "IDENTITY GETNEXT"}));
  ASSERT_EQ(twain.DeviceCount(), 3);
  EXPECT_EQ(twain.DeviceName(0), "Flatbed");
  EXPECT_EQ(twain.DeviceName(1), "Feeder");
  EXPECT_EQ(twain.DeviceName(2), "Flatbed");
  EXPECT_EQ(twain.DeviceName(3), "");
  EXPECT_EQ(twain.DeviceName(-1), "");
  EXPECT_EQ(twain.DeviceIndex(), -1);
  EXPECT_TRUE(twain.AcquireDone());
}

TEST_F(SessionTest, AManagerThatDoesNotOpenLeavesAnInertSession) {
  AddSource("Flatbed");
  dsm.OpenDsmRc = TWRC_FAILURE;
  TluTwain& twain = Open();
  EXPECT_FALSE(twain.DSMOpen());
  EXPECT_EQ(twain.DeviceCount(), 0);
  dsm.ClearCalls();
  twain.SelectDevice(0);
  twain.Acquire();
  EXPECT_EQ(twain.PixelType(), -1);
  EXPECT_EQ(twain.Resolution(), -1.0);
  EXPECT_FALSE(twain.DeviceOnline());
  EXPECT_TRUE(twain.AcquireDone());
  EXPECT_TRUE(dsm.Log().empty());
  session.reset();
  EXPECT_EQ(dsm.Log(), (Log{"PARENT CLOSEDSM"}));
}

TEST_F(SessionTest, WithoutAManagerEverythingIsNeutral) {
  TluTwain twain("Orlavex Pagewell", 1, 1, DsmEntry{});
  EXPECT_FALSE(twain.DSMOpen());
  EXPECT_EQ(twain.DeviceCount(), 0);
  EXPECT_NO_THROW(twain.SelectDevice(0));
  EXPECT_NO_THROW(twain.Acquire());
  EXPECT_TRUE(twain.AcquireDone());
  EXPECT_EQ(twain.DeviceName(0), "");
  EXPECT_FALSE(twain.SelectDeviceByName("Flatbed"));
  EXPECT_EQ(twain.CurrentImage(), nullptr);
}

TEST_F(SessionTest, SelectDeviceWalksToTheSourceAndSendsNothingForTheCurrentOne) {
  AddSource("A");
  AddSource("B");
  AddSource("C");
  TluTwain& twain = Open();
  dsm.ClearCalls();
  twain.SelectDevice(2);
  EXPECT_EQ(dsm.Log(), (Log{"IDENTITY GETFIRST", "IDENTITY GETNEXT", "IDENTITY GETNEXT"}));
  EXPECT_EQ(Str32ToString(twain.SourceIdentity().ProductName), "C");
  EXPECT_EQ(twain.DeviceIndex(), 2);

  dsm.ClearCalls();
  twain.SelectDevice(2);
  twain.SelectDevice(3);  // beyond the list
  EXPECT_TRUE(dsm.Log().empty());
  EXPECT_EQ(twain.DeviceIndex(), 2);
}

TEST_F(SessionTest, SelectingNoDeviceClosesTheSourceAndClearsItsIdentity) {
  AddSource("A");
  TluTwain& twain = Open();
  twain.SelectDevice(0);
  twain.OpenSourceIfNeeded();
  ASSERT_TRUE(twain.SourceOpen());
  dsm.ClearCalls();
  twain.SelectDevice(-1);
  EXPECT_EQ(dsm.Log(), (Log{"IDENTITY CLOSEDS"}));
  EXPECT_FALSE(twain.SourceOpen());
  const TW_IDENTITY zero{};
  EXPECT_EQ(std::memcmp(&twain.SourceIdentity(), &zero, sizeof zero), 0);
}

TEST_F(SessionTest, SelectDeviceIsIgnoredWhileTheSourceIsEnabled) {
  AddSource("A");
  AddSource("B");
  TluTwain& twain = Open();
  twain.SelectDevice(0);
  twain.Acquire();
  ASSERT_TRUE(twain.SourceEnabled());
  dsm.ClearCalls();
  twain.SelectDevice(1);
  EXPECT_FALSE(twain.SelectDeviceByName("B"));
  EXPECT_TRUE(dsm.Log().empty());
  EXPECT_EQ(twain.DeviceIndex(), 0);
}

TEST_F(SessionTest, ASourceThatVanishesRaisesCannotFindDevice) {
  AddSource("A");
  AddSource("B");
  TluTwain& twain = Open();
  dsm.Sources.pop_back();
  try {
    twain.SelectDevice(1);
    FAIL() << "no error";
  } catch (const ETwainError& e) {
    EXPECT_STREQ(e.what(), "Cannot find Twain device");
  }
  EXPECT_EQ(twain.DeviceIndex(), 1);
}

TEST_F(SessionTest, SelectDeviceByName) {
  AddSource("Twin");
  AddSource("Other");
  AddSource("Twin");
  TluTwain& twain = Open();

  // Two sources with one name: the first is taken.
  EXPECT_TRUE(twain.SelectDeviceByName("Twin"));
  EXPECT_EQ(twain.DeviceIndex(), 0);
  EXPECT_EQ(twain.SourceIdentity().Id, 1u);

  // The current device's name changes nothing and sends nothing.
  dsm.ClearCalls();
  EXPECT_FALSE(twain.SelectDeviceByName("Twin"));
  EXPECT_TRUE(dsm.Log().empty());

  // Case matters; a name not in the list answers false after a fresh walk.
  EXPECT_FALSE(twain.SelectDeviceByName("other"));
  EXPECT_EQ(twain.DeviceIndex(), 0);
  EXPECT_TRUE(twain.SelectDeviceByName("Other"));
  EXPECT_EQ(twain.DeviceIndex(), 1);
}

TEST_F(SessionTest, SelectDeviceByNameWithoutSourcesRaises) {
  TluTwain& twain = Open();
  EXPECT_THROW(twain.SelectDeviceByName("Flatbed"), ETwainError);
}

TEST_F(SessionTest, CloseSourceRetriesOnceAfterDisabling) {
  AddSource("A");
  TluTwain& twain = Open();
  twain.SelectDevice(0);
  twain.OpenSourceIfNeeded();
  dsm.Sources[0].CloseRcs = {TWRC_FAILURE};
  dsm.ClearCalls();
  twain.CloseSource();
  EXPECT_EQ(dsm.Log(), (Log{"IDENTITY CLOSEDS", "USERINTERFACE DISABLEDS", "IDENTITY CLOSEDS"}));
  EXPECT_FALSE(twain.SourceOpen());
}

TEST_F(SessionTest, ASourceThatRefusesToCloseTwiceStaysOpen) {
  AddSource("A");
  TluTwain& twain = Open();
  twain.SelectDevice(0);
  twain.OpenSourceIfNeeded();
  dsm.Sources[0].CloseRcs = {TWRC_FAILURE, TWRC_FAILURE};
  twain.CloseSource();
  EXPECT_TRUE(twain.SourceOpen());
}

TEST_F(SessionTest, AFailedOpenIsSilentAndLaterOperationsDoNothing) {
  AddSource("A");
  dsm.Sources[0].OpenRc = TWRC_FAILURE;
  TluTwain& twain = Open();
  twain.SelectDevice(0);
  dsm.ClearCalls();
  twain.Acquire();
  EXPECT_EQ(twain.PixelType(), -1);
  EXPECT_FALSE(twain.SourceOpen());
  EXPECT_TRUE(twain.AcquireDone());
  for (const std::string& line : dsm.Log()) EXPECT_EQ(line, "IDENTITY OPENDS");
}

TEST_F(SessionTest, AcquireSetsFlavourAndIndicatorsThenEnables) {
  struct Case {
    std::string name;
    bool showUI, indicators;
    Log expected;
  };
  const std::vector<Case> cases = {
      {"Flatbed", true, true, {"IDENTITY OPENDS", "CAPABILITY SET 111F=0", "USERINTERFACE ENABLEDS"}},
      {"Flatbed", false, false,
       {"IDENTITY OPENDS", "CAPABILITY SET 100B=0", "CAPABILITY SET 111F=0", "USERINTERFACE ENABLEDS"}},
      {"Flatbed", false, true, {"IDENTITY OPENDS", "CAPABILITY SET 111F=0", "USERINTERFACE ENABLEDS"}},
      {"hP ScanJet", true, true, {"IDENTITY OPENDS", "USERINTERFACE ENABLEDS"}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name + (c.showUI ? " ui" : "") + (c.indicators ? " indicators" : ""));
    dsm.Sources.clear();
    AddSource(c.name);
    TluTwain& twain = Open();
    twain.SetShowUI(c.showUI);
    twain.SetIndicators(c.indicators);
    twain.SetCallbackMode(1);  // no entry points: never registered
    twain.SelectDevice(0);
    dsm.ClearCalls();
    twain.Acquire();
    EXPECT_EQ(dsm.Log(), c.expected);
    EXPECT_TRUE(twain.SourceEnabled());
    EXPECT_FALSE(twain.AcquireDone());
    session.reset();
  }
}

TEST_F(SessionTest, TheUserInterfaceRecordFollowsShowUI) {
  AddSource("A");
  TW_USERINTERFACE seen{};
  DsmEntry fake = dsm.Entry();
  session = std::make_unique<TluTwain>(
      "App", 1, 1, [&seen, fake](TW_IDENTITY* o, TW_IDENTITY* d, TW_UINT32 dg, TW_UINT16 dat, TW_UINT16 msg, TW_MEMREF data) {
        if (dat == DAT_USERINTERFACE && msg == MSG_ENABLEDS) seen = *static_cast<TW_USERINTERFACE*>(data);
        return fake(o, d, dg, dat, msg, data);
      });
  session->SelectDevice(0);
  session->Acquire();
  EXPECT_EQ(seen.ShowUI, 0xFFFF);
  EXPECT_EQ(seen.ModalUI, 0xFFFF);
  EXPECT_EQ(seen.hParent, session->Window());
  session.reset();
}

TEST_F(SessionTest, AFailingEnableDisablesAndRaises) {
  AddSource("A");
  dsm.Sources[0].EnableRc = TWRC_FAILURE;
  TluTwain& twain = Open();
  twain.SelectDevice(0);
  dsm.ClearCalls();
  try {
    twain.Acquire();
    FAIL() << "no error";
  } catch (const ETwainError& e) {
    EXPECT_STREQ(e.what(), "Error during image acquire operation.");
  }
  EXPECT_EQ(dsm.LogFrom(dsm.Calls.size() - 2), (Log{"USERINTERFACE ENABLEDS", "USERINTERFACE DISABLEDS"}));
  EXPECT_FALSE(twain.SourceEnabled());
  EXPECT_TRUE(twain.SourceOpen());
  EXPECT_TRUE(twain.AcquireDone());
}

TEST_F(SessionTest, ACancelledEnableEndsTheAttemptSilently) {
  AddSource("A");
  dsm.Sources[0].EnableRc = TWRC_CANCEL;
  TluTwain& twain = Open();
  twain.SelectDevice(0);
  EXPECT_NO_THROW(twain.Acquire());
  EXPECT_FALSE(twain.SourceEnabled());
  EXPECT_TRUE(twain.AcquireDone());
  EXPECT_EQ(dsm.Log().back(), "USERINTERFACE ENABLEDS");

  // A failed enable whose disable answers "cancel" is not reported either.
  dsm.Sources[0].EnableRc = TWRC_FAILURE;
  dsm.Sources[0].DisableRc = TWRC_CANCEL;
  EXPECT_NO_THROW(twain.Acquire());
}

TEST_F(SessionTest, WindowMessagesReachTheSourceOnlyWhileEnabled) {
  AddSource("A");
  TluTwain& twain = Open();
  twain.SelectDevice(0);
  dsm.ClearCalls();
  Notify(MSG_NULL);
  EXPECT_TRUE(dsm.Log().empty());

  twain.Acquire();
  dsm.ClearCalls();
  Notify(MSG_NULL);
  EXPECT_EQ(dsm.Log(), (Log{"EVENT PROCESSEVENT"}));
  EXPECT_TRUE(twain.SourceEnabled());
}

TEST_F(SessionTest, ACloseRequestDisablesAndRaisesFinishThenCancel) {
  AddSource("A");
  TluTwain& twain = Open();
  std::vector<std::string> events;
  twain.OnFinish = [&](TluTwain&) { events.push_back("finish"); };
  twain.OnCancel = [&](TluTwain&) { events.push_back("cancel"); };
  twain.SelectDevice(0);
  twain.Acquire();
  dsm.ClearCalls();
  Notify(MSG_CLOSEDSREQ);
  EXPECT_EQ(dsm.Log(), (Log{"EVENT PROCESSEVENT", "USERINTERFACE DISABLEDS"}));
  EXPECT_EQ(events, (std::vector<std::string>{"finish", "cancel"}));
  EXPECT_FALSE(twain.SourceEnabled());
  EXPECT_TRUE(twain.AcquireDone());
  EXPECT_TRUE(twain.SourceOpen());
}

TEST_F(SessionTest, TheCallbackIsRegisteredOnlyWithEntryPointsAndTheRightMode) {
  struct Case {
    bool dsm2;
    int mode;
    bool source2;
    bool registered;
  };
  const std::vector<Case> cases = {
      {true, 1, false, true},  {true, 2, true, true},    {true, 2, false, false},
      {true, 3, true, false},  {false, 1, true, false},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(::testing::Message() << "dsm2 " << c.dsm2 << " mode " << c.mode << " ds2 " << c.source2);
    dsm.Sources.clear();
    AddSource("A");
    if (c.source2) dsm.Sources[0].SupportedGroups |= DF_DS2;
    dsm.Dsm2 = c.dsm2;
    TluTwain& twain = Open();
    twain.SetCallbackMode(c.mode);
    twain.SelectDevice(0);
    EXPECT_EQ(twain.IsSource2(), c.source2);
    dsm.ClearCalls();
    twain.Acquire();
    const Log log = dsm.Log();
    EXPECT_EQ(std::count(log.begin(), log.end(), "CALLBACK REGISTER_CALLBACK"), c.registered ? 1 : 0);
    session.reset();
  }
}

TEST_F(SessionTest, TheManagerIsClosedWhenTheSessionGoes) {
  AddSource("A");
  TluTwain& twain = Open();
  twain.SelectDevice(0);
  twain.OpenSourceIfNeeded();
  dsm.ClearCalls();
  session.reset();
  EXPECT_EQ(dsm.Log(), (Log{"IDENTITY CLOSEDS", "PARENT CLOSEDSM"}));
}

TEST_F(SessionTest, SettingsKeepTheirRanges) {
  TluTwain& twain = Open();
  EXPECT_EQ(twain.CallbackMode(), 2);
  twain.SetCallbackMode(0);
  twain.SetCallbackMode(4);
  EXPECT_EQ(twain.CallbackMode(), 2);
  twain.SetCallbackMode(3);
  EXPECT_EQ(twain.CallbackMode(), 3);
  twain.SetMaxImages(-5);
  EXPECT_EQ(twain.MaxImages(), 0);
  EXPECT_TRUE(twain.ShowUI());
  EXPECT_TRUE(twain.Indicators());
  EXPECT_FALSE(twain.KeepSourceEnabled());
  EXPECT_FALSE(twain.MultiImage());
}

}  // namespace
}  // namespace pagewell::testing
