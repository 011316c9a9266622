#pragma once
// TluTwain: the program's one connection to TWAIN. It loads the data source
// manager, opens it with a hidden window of its own as parent, lists the
// sources by product name, selects, opens and closes one source, negotiates
// its capabilities, enables it for an acquisition and turns the source's
// notifications into native transfers whose DIBs become TBMPImage pages.
//
// Every TWAIN call goes through one DsmEntry function (dsm_entry.h): the
// manager's own entry, or whatever a test or tool put in its place.
#include <cstdint>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "formats/bmp/bmp_image.h"
#include "twain/capability_value.h"
#include "twain/dsm_entry.h"
#include "twain/dsm_library.h"
#include "twain/twain_error.h"
#include "twain/twain_memory.h"
#include "twain/twain_types.h"

namespace pagewell {

class TSyncQueue;

class TluTwain {
 public:
  using TNotifyEvent = std::function<void(TluTwain& sender)>;

  // Loads the manager found by FindDsmPath(preferNewDsm) and opens it. A
  // missing manager leaves the session inert: no devices, neutral answers.
  TluTwain(const std::string& appName, std::uint16_t majorNum, std::uint16_t minorNum, bool preferNewDsm);
  // Opens the manager reached through `entry` instead of a loaded library.
  TluTwain(const std::string& appName, std::uint16_t majorNum, std::uint16_t minorNum, DsmEntry entry);
  ~TluTwain();
  TluTwain(const TluTwain&) = delete;
  TluTwain& operator=(const TluTwain&) = delete;

  // --- session and source manager --------------------------------------
  int DeviceCount() const;
  std::string DeviceName(int index) const;
  void EnumerateDevices();
  void SelectDevice(int index);
  bool SelectDeviceByName(const std::string& name);
  int DeviceIndex() const { return deviceIndex_; }
  std::string AppProductName() const;
  void SetAppProductName(const std::string& name);
  void OpenSourceIfNeeded();
  void CloseSource();
  void Acquire();
  bool IsSource2() const;
  bool AcquireDone() const { return acquireDone_; }
  bool SourceEnabled() const { return sourceEnabled_; }
  bool SourceOpen() const { return sourceOpen_; }
  bool DSMOpen() const { return dsmOpen_; }
  const twain::TW_IDENTITY& AppIdentity() const { return appIdentity_; }
  const twain::TW_IDENTITY& SourceIdentity() const { return sourceIdentity_; }
  // The hidden window that receives the source's notifications.
  HWND Window() const { return window_; }

  // --- settings ----------------------------------------------------------
  bool ShowUI() const { return showUI_; }
  void SetShowUI(bool value) { showUI_ = value; }
  bool Indicators() const { return indicators_; }
  void SetIndicators(bool value) { indicators_ = value; }
  bool KeepSourceEnabled() const { return keepSourceEnabled_; }
  void SetKeepSourceEnabled(bool value) { keepSourceEnabled_ = value; }
  bool MultiImage() const { return multiImage_; }
  void SetMultiImage(bool value) { multiImage_ = value; }
  int MaxImages() const { return maxImages_; }
  void SetMaxImages(int value) { maxImages_ = value < 0 ? 0 : value; }
  int CallbackMode() const { return callbackMode_; }
  void SetCallbackMode(int value);
  // Off (the default): the image list holds only the newest image.
  bool AppendMode() const { return appendMode_; }
  void SetAppendMode(bool value) { appendMode_ = value; }

  // --- capability negotiation -----------------------------------------
  // The condition code of the last GetCapability or SetCapability that failed.
  twain::TW_UINT16 LastConditionCode() const { return lastConditionCode_; }
  bool GetCapability(twain::TW_UINT16 cap, TCapabilityValue& value);
  bool SetCapability(twain::TW_UINT16 cap, twain::TW_UINT16 itemType, twain::TW_UINT32 item);
  twain::TW_UINT32 QuerySupport(twain::TW_UINT16 cap);
  bool CanSet(twain::TW_UINT16 cap);
  bool SetCapBool(twain::TW_UINT16 cap, bool value);
  bool SetCapUInt16(twain::TW_UINT16 cap, twain::TW_UINT16 value);
  bool SetCapFix32(twain::TW_UINT16 cap, double value);

  bool DeviceOnline();
  bool UIControllable();
  int Units();
  void SetUnits(int units);
  // Whether the unit was found supported by the probe (built on first need).
  bool UnitSupported(int units);
  bool SeveralUnits();
  int PixelType();
  bool PixelTypeSupported(int pixelType);
  void SetPixelType(int pixelType);
  double Resolution();
  int ResolutionCount();
  double ResolutionValue(int index);
  void SetResolution(double value);
  double PhysicalWidth();
  double PhysicalHeight();
  double FrameLeft();
  double FrameTop();
  double FrameRight();
  double FrameBottom();
  void SetFrame(double left, double right, double top, double bottom);
  int DuplexType();
  void SetDuplex(bool value);
  void SetFeeder(bool value);
  bool AutoFeed();
  void SetAutoPageSize(bool value);
  void SetSupportedSize(twain::TW_UINT16 size);
  bool MICRCapable();
  void SetMICREnabled(bool value);
  bool MICREnabled() const { return micrEnabled_; }

  // The resolution information as last read (see ReadResolutionInfo).
  struct TResolutionAxis {
    double Minimum = -1.0, Maximum = -1.0, Step = -1.0, Current = -1.0;
  };
  struct TResolutionInfo {
    bool Read = false;
    bool Several = false;
    TResolutionAxis X, Y;
    std::vector<double> XValues;
  };
  const TResolutionInfo& ResolutionInfo() const { return resolutionInfo_; }

  // --- image transfer ------------------------------------------------------
  void TransferImages();
  // The image at the image index, or the last one; null when there is none.
  const TBMPImage* CurrentImage() const;
  int ImageCount() const { return static_cast<int>(images_.size()); }
  void SetImageIndex(int index);
  int ImageIndex() const { return imageIndex_; }
  int TransferredCount() const { return transferredCount_; }
  const std::string& MICRText() const { return micrText_; }
  // Asked from an OnImage handler that cannot take more images (its page
  // could not be kept): the batch ends after this image as if it had run
  // out of memory, the images already announced stay with their owners.
  void EndBatchAfterThisImage() { batchEndRequested_ = true; }

  TNotifyEvent OnImage;
  TNotifyEvent OnFinish;
  TNotifyEvent OnCancel;

  // Runs the calls that TXferThread queued for this thread (WM_USER + 1).
  void RunQueuedCalls();

 private:
  struct TCapabilityList {
    bool Built = false;
    bool Several = false;
    std::vector<bool> Supported;
  };

  void Open(const std::string& appName, std::uint16_t majorNum, std::uint16_t minorNum);
  void BuildIdentity(const std::string& appName, std::uint16_t majorNum, std::uint16_t minorNum);
  void CreateHiddenWindow();
  void DestroyHiddenWindow();
  void OpenDsm();
  twain::TW_UINT16 CallDsm(twain::TW_UINT32 dg, twain::TW_UINT16 dat, twain::TW_UINT16 msg, void* data);
  twain::TW_UINT16 CallSource(twain::TW_UINT32 dg, twain::TW_UINT16 dat, twain::TW_UINT16 msg, void* data);
  void FetchSourceIdentity(int index);
  void MarkSourceDisabled();
  twain::TW_UINT16 DisableSource();
  bool UsesCallback() const;
  void RegisterCallback();

  static LRESULT CALLBACK WindowProcedure(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
  LRESULT HandleWindowMessage(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
  void HandleCloseRequest();
  static twain::TW_UINT16 WINAPI CallbackProcedure(twain::TW_IDENTITY* origin, twain::TW_IDENTITY* dest,
                                                   twain::TW_UINT32 dg, twain::TW_UINT16 dat,
                                                   twain::TW_UINT16 msg, twain::TW_MEMREF data);
  twain::TW_UINT16 HandleCallback(twain::TW_UINT32 dg, twain::TW_UINT16 dat, twain::TW_UINT16 msg);

  void ResetCaches();
  twain::TW_UINT16 ConditionCode();
  std::optional<twain::TW_UINT32> CurrentValue(twain::TW_UINT16 cap, twain::TW_UINT16 itemType);
  bool ReadBool(twain::TW_UINT16 cap);
  TCapabilityList& ProbedList(twain::TW_UINT16 cap);
  void BuildCapabilityList(twain::TW_UINT16 cap, const std::vector<int>& probeValues, TCapabilityList& list);
  void ReadResolutionInfo();
  void ReadResolutionIfNeeded();
  double FrameEdge(int edge);
  bool ReadFrame();

  void TransferPendingImages();
  void AbandonBatch();
  bool TransferOneImage();
  bool ConvertDib(twain::TW_HANDLE dib);
  void EndTransferAndReadMicr(twain::TW_PENDINGXFERS& pending);
  void ResetPendingTransfers();
  void FreeMicr();
  void ReadMicr();
  void Raise(const TNotifyEvent& event);

  twain::TW_IDENTITY appIdentity_{};
  std::string windowClassName_;
  HWND window_ = nullptr;
  bool classRegistered_ = false;
  TDsmLibrary library_;
  DsmEntry entry_;
  twain::TW_ENTRYPOINT entryPoints_{};
  bool entryPointsValid_ = false;
  TTwainMemory memory_ = TTwainMemory::Global();
  std::vector<std::string> devices_;
  twain::TW_IDENTITY sourceIdentity_{};
  int deviceIndex_ = -1;
  bool dsmOpen_ = false;
  bool sourceOpen_ = false;
  bool sourceEnabled_ = false;
  bool acquireDone_ = true;
  bool inCallback_ = false;
  twain::TW_USERINTERFACE userInterface_{};

  bool showUI_ = true;
  bool indicators_ = true;
  bool keepSourceEnabled_ = false;
  bool multiImage_ = false;
  int maxImages_ = 0;
  bool micrEnabled_ = false;
  int callbackMode_ = 2;
  bool appendMode_ = false;

  twain::TW_UINT16 lastConditionCode_ = 0;
  TCapabilityList unitsList_;
  TCapabilityList pixelTypesList_;
  TResolutionInfo resolutionInfo_;
  twain::TW_IMAGELAYOUT frame_{};

  std::vector<std::unique_ptr<TBMPImage>> images_;
  int imageIndex_ = 1;
  int transferredCount_ = 0;
  bool batchEndRequested_ = false;
  HGLOBAL micrHandle_ = nullptr;
  std::string micrText_;
  twain::TW_CALLBACK callback_{};
  std::shared_ptr<TSyncQueue> syncQueue_;
};

}  // namespace pagewell
