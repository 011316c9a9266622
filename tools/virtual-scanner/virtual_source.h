#pragma once
// The virtual scanner's data source: one state machine shared by every
// device the configuration lists (the manager opens one source at a time).
// It answers the triplets a TWAIN application sends a scanner, renders
// synthetic pages for native transfers and notifies the application by
// posting a message of its own to the application's window and answering
// the MSG_PROCESSEVENT that carries it.
#include <optional>
#include <string>
#include <vector>

#include "scanner_config.h"
#include "twain/twain_types.h"

namespace virtual_scanner {

using namespace twain;

// A capability answer before it is put into a container.
struct TCapAnswer {
  TW_UINT16 ConType = TWON_ONEVALUE;
  TW_UINT16 ItemType = TWTY_UINT16;
  std::vector<TW_UINT32> Items;
  TW_UINT32 CurrentIndex = 0, DefaultIndex = 0;
  TW_UINT32 MinValue = 0, MaxValue = 0, StepSize = 0, DefaultValue = 0, CurrentValue = 0;
  bool Settable = true;
};

class TVirtualSource {
 public:
  TW_UINT16 Entry(TW_IDENTITY* origin, TW_UINT32 dg, TW_UINT16 dat, TW_UINT16 msg, TW_MEMREF data);
  // The buttons of the source's own window.
  void ScanPressed();
  void ClosePressed();

 private:
  enum TState { kClosed = 3, kOpen = 4, kEnabled = 5, kReady = 6, kTransferring = 7 };

  TW_UINT16 Fail(TW_UINT16 condition);
  TW_UINT16 Identity(TW_UINT16 msg, TW_IDENTITY* identity);
  void FillIdentity(const TDeviceConfig& device, TW_IDENTITY& identity) const;
  void OpenDevice(std::size_t index);
  TW_UINT16 UserInterface(TW_UINT16 msg, TW_USERINTERFACE* ui);
  TW_UINT16 ProcessEvent(TW_EVENT* event);
  void Notify(TW_UINT16 message);
  TW_UINT16 NativeTransfer(TW_HANDLE* handle);
  TW_UINT16 PendingTransfers(TW_UINT16 msg, TW_PENDINGXFERS* pending);
  TW_UINT16 ImageInfo(TW_IMAGEINFO* info);
  TW_UINT16 ImageLayout(TW_UINT16 msg, TW_IMAGELAYOUT* layout);
  TW_UINT16 ExtImageInfo(TW_EXTIMAGEINFO* info);
  TW_UINT16 Capability(TW_UINT16 msg, TW_CAPABILITY* cap);
  std::optional<TCapAnswer> Answer(TW_UINT16 cap) const;
  // On line as configured, or after the queries online_after asks for.
  bool IsOnline() const;
  TW_UINT16 SetCapability(TW_UINT16 cap, TW_UINT16 itemType, TW_UINT32 item);
  TW_UINT32 SupportFlags(TW_UINT16 cap, const TCapAnswer& answer) const;
  TScanSettings ScanSettingsFor(int page) const;
  double UnitFactor() const;  // current units per inch
  void ShowWindow();
  void CloseWindow();

  TScannerConfig config_;
  bool configLoaded_ = false;
  std::size_t walk_ = 0;
  std::size_t device_ = 0;
  TState state_ = kClosed;
  TW_IDENTITY app_{};
  TW_USERINTERFACE ui_{};
  TW_UINT16 condition_ = 0;
  TW_UINT16 pendingEvent_ = MSG_NULL;
  void* window_ = nullptr;

  // Negotiated values.
  int pixelType_ = 2;
  int unit_ = 0;
  double xDpi_ = 100, yDpi_ = 100;
  double frame_[4] = {0, 0, 8.5, 11};  // inches
  bool duplexEnabled_ = false, feederEnabled_ = false, autoFeed_ = false, autoPageSize_ = false;
  bool indicators_ = true, micrEnabled_ = false, online_ = true;
  // CAP_DEVICEONLINE queries since the device was opened (online_after).
  mutable int onlineQueries_ = 0;
  int pixelFlavor_ = 0;

  // The batch under way.
  int nextPage_ = 1;
  int pagesLeft_ = 0;
  std::string lastMicr_;
};

TVirtualSource& TheSource();

}  // namespace virtual_scanner
