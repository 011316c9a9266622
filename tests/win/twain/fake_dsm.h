#pragma once
// An in-process source manager with scripted sources, put in the session's
// DsmEntry seam. It records every triplet it receives (with the capability
// and the value of capability calls) so that tests can check exactly what
// the session sent and in which order.
#include <cstdint>
#include <map>
#include <string>
#include <vector>

#include "twain/dsm_entry.h"
#include "twain/twain_types.h"

namespace pagewell::testing {

struct TFakeCapability {
  twain::TW_UINT16 ConType = twain::TWON_ONEVALUE;
  twain::TW_UINT16 ItemType = twain::TWTY_UINT16;
  std::vector<twain::TW_UINT32> Items;  // one-value: the value; enumeration: the list
  twain::TW_UINT32 CurrentIndex = 0;
  twain::TW_UINT32 MinValue = 0, MaxValue = 0, StepSize = 0, CurrentValue = 0;  // range
  bool Settable = true;
  // Values a set accepts; empty = any value.
  std::vector<twain::TW_UINT32> Accepted;
  twain::TW_UINT32 Support = twain::TWQC_GET | twain::TWQC_SET;
  twain::TW_UINT16 SupportItemType = twain::TWTY_INT32;
};

struct TFakeSource {
  std::string Name;
  twain::TW_UINT32 SupportedGroups = twain::DG_CONTROL | twain::DG_IMAGE;
  std::map<twain::TW_UINT16, TFakeCapability> Caps;
  twain::TW_UINT16 OpenRc = twain::TWRC_SUCCESS;
  twain::TW_UINT16 EnableRc = twain::TWRC_SUCCESS;
  twain::TW_UINT16 DisableRc = twain::TWRC_SUCCESS;
  std::vector<twain::TW_UINT16> CloseRcs;  // answers of successive CLOSEDS, then success
  // Pages ready for transfer, each a packed DIB, with the native transfer's
  // answer for each (missing = TWRC_XFERDONE) and its MICR text.
  std::vector<std::vector<std::uint8_t>> Pages;
  std::vector<twain::TW_UINT16> TransferRcs;
  std::vector<std::string> MicrTexts;
  // Answered by the next MSG_PROCESSEVENT (then back to MSG_NULL).
  twain::TW_UINT16 PendingEvent = twain::MSG_NULL;
  twain::TW_IMAGELAYOUT Layout{};
  // The callback the application registered, if any.
  twain::TW_MEMREF Callback = nullptr;

  // State kept by the fake.
  int PagesTransferred = 0;
  std::string LastMicr;
  twain::TW_UINT16 Condition = twain::TWCC_SUCCESS;
};

struct TFakeCall {
  std::string Dest;  // product name of the destination, empty for the manager
  twain::TW_UINT32 DG;
  twain::TW_UINT16 DAT;
  twain::TW_UINT16 MSG;
  twain::TW_UINT16 Cap = 0;          // capability calls
  twain::TW_UINT32 SetValue = 0;     // capability sets
  twain::TW_UINT16 Rc = 0;
};

class TFakeDsm {
 public:
  std::vector<TFakeSource> Sources;
  std::vector<TFakeCall> Calls;
  twain::TW_UINT16 OpenDsmRc = twain::TWRC_SUCCESS;
  bool Dsm2 = false;  // sets DF_DSM2 and offers the memory functions

  DsmEntry Entry();
  // Readable forms of the calls: "IDENTITY GETFIRST", "CAPABILITY SET 0102=3",
  // "CAPABILITY GET 1118", "USERINTERFACE ENABLEDS" ...
  std::vector<std::string> Log() const;
  std::vector<std::string> LogFrom(std::size_t first) const;
  void ClearCalls() { Calls.clear(); }

  TFakeSource* SourceById(twain::TW_UINT32 id);

 private:
  twain::TW_UINT16 Handle(twain::TW_IDENTITY* origin, twain::TW_IDENTITY* dest, twain::TW_UINT32 dg,
                          twain::TW_UINT16 dat, twain::TW_UINT16 msg, twain::TW_MEMREF data, TFakeCall& call);
  twain::TW_UINT16 HandleManager(twain::TW_IDENTITY* origin, twain::TW_UINT16 dat, twain::TW_UINT16 msg,
                                 twain::TW_MEMREF data);
  twain::TW_UINT16 HandleSource(TFakeSource& source, twain::TW_UINT32 dg, twain::TW_UINT16 dat,
                                twain::TW_UINT16 msg, twain::TW_MEMREF data, TFakeCall& call);
  twain::TW_UINT16 HandleCapability(TFakeSource& source, twain::TW_UINT16 msg, twain::TW_CAPABILITY& cap,
                                    TFakeCall& call);
  twain::TW_UINT16 HandleTransfer(TFakeSource& source, twain::TW_UINT16 dat, twain::TW_UINT16 msg,
                                  twain::TW_MEMREF data);

  std::size_t walk_ = 0;
  int closeCalls_ = 0;
};

// A packed DIB: BITMAPINFOHEADER, colour table and bottom-up rows, as a
// source hands it over. `rows` are top-down, unpadded; they are padded and
// reversed here.
std::vector<std::uint8_t> MakeDib(int width, int height, int bitCount, const std::vector<std::uint32_t>& table,
                                  const std::vector<std::vector<std::uint8_t>>& rows,
                                  std::int32_t xPelsPerMeter = 11811, std::int32_t yPelsPerMeter = 11811);

TFakeCapability OneValue(twain::TW_UINT16 itemType, twain::TW_UINT32 value);
TFakeCapability Enumeration(twain::TW_UINT16 itemType, std::vector<twain::TW_UINT32> items,
                            twain::TW_UINT32 current);
TFakeCapability Range(double minimum, double maximum, double step, double current);
twain::TW_UINT32 Fix(double value);

}  // namespace pagewell::testing
