// The session with the source manager: identity, hidden window, opening the
// manager, listing and selecting sources, opening, enabling and closing the
// selected source, and the window procedure that receives its notifications.
#include "twain/lu_twain.h"

#include <cctype>

#include "twain/twain_values.h"
#include "twain/xfer_thread.h"

namespace pagewell {

using namespace twain;

namespace {

const char kWindowClassName[] = "Dummy Window Classj91bi6wnoip";
const char kWindowName[] = "Dummy Windowj91bi6wnoip";

}  // namespace

TluTwain::TluTwain(const std::string& appName, std::uint16_t majorNum, std::uint16_t minorNum,
                   bool preferNewDsm)
    : library_(FindDsmPath(preferNewDsm)) {
  if (library_.Loaded()) entry_ = library_.Entry();
  Open(appName, majorNum, minorNum);
}

TluTwain::TluTwain(const std::string& appName, std::uint16_t majorNum, std::uint16_t minorNum, DsmEntry entry)
    : entry_(std::move(entry)) {
  Open(appName, majorNum, minorNum);
}

void TluTwain::Open(const std::string& appName, std::uint16_t majorNum, std::uint16_t minorNum) {
  syncQueue_ = std::make_shared<TSyncQueue>();
  BuildIdentity(appName, majorNum, minorNum);
  CreateHiddenWindow();
  if (entry_) OpenDsm();
}

TluTwain::~TluTwain() {
  if (dsmOpen_) {
    images_.clear();
    if (sourceOpen_) CloseSource();
    ResetCaches();
    devices_.clear();
  }
  if (entry_) CallDsm(DG_CONTROL, DAT_PARENT, MSG_CLOSEDSM, &window_);
  FreeMicr();
  DestroyHiddenWindow();
}

void TluTwain::BuildIdentity(const std::string& appName, std::uint16_t majorNum, std::uint16_t minorNum) {
  appIdentity_ = TW_IDENTITY{};
  appIdentity_.Id = 0;
  appIdentity_.Version.MajorNum = majorNum;
  appIdentity_.Version.MinorNum = minorNum;
  appIdentity_.Version.Language = TWLG_USERLOCALE;
  appIdentity_.Version.Country = TWCY_USA;
  CopyToStr32(appIdentity_.Version.Info, appName);
  appIdentity_.ProtocolMajor = 2;
  appIdentity_.ProtocolMinor = 2;
  appIdentity_.SupportedGroups = DG_CONTROL | DG_IMAGE | DF_APP2;
  CopyToStr32(appIdentity_.ProductName, appName);
}

void TluTwain::CreateHiddenWindow() {
  WNDCLASSA windowClass{};
  windowClass.lpfnWndProc = WindowProcedure;
  windowClass.hInstance = GetModuleHandleA(nullptr);
  windowClass.hbrBackground = reinterpret_cast<HBRUSH>(1);
  windowClass.lpszClassName = kWindowClassName;
  // Every session shares the class; a second registration finds it in place.
  classRegistered_ = RegisterClassA(&windowClass) != 0;
  window_ = CreateWindowExA(0, kWindowClassName, kWindowName, 0, 0, 0, 1, 1, nullptr, nullptr,
                            windowClass.hInstance, nullptr);
  if (window_) SetWindowLongPtrA(window_, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(this));
}

void TluTwain::DestroyHiddenWindow() {
  if (window_) {
    SetWindowLongPtrA(window_, GWLP_USERDATA, 0);
    DestroyWindow(window_);
    window_ = nullptr;
  }
  // Fails harmlessly while another session's window still uses the class.
  UnregisterClassA(kWindowClassName, GetModuleHandleA(nullptr));
}

void TluTwain::OpenDsm() {
  if (CallDsm(DG_CONTROL, DAT_PARENT, MSG_OPENDSM, &window_) != TWRC_SUCCESS) return;
  dsmOpen_ = true;
  if (appIdentity_.SupportedGroups & DF_DSM2) {
    entryPoints_ = TW_ENTRYPOINT{};
    entryPoints_.Size = sizeof(TW_ENTRYPOINT);
    if (CallDsm(DG_CONTROL, DAT_ENTRYPOINT, MSG_GET, &entryPoints_) == TWRC_SUCCESS &&
        entryPoints_.DSM_MemAllocate && entryPoints_.DSM_MemFree && entryPoints_.DSM_MemLock &&
        entryPoints_.DSM_MemUnlock) {
      entryPointsValid_ = true;
      memory_ = TTwainMemory::FromEntryPoint(entryPoints_);
    }
  }
  EnumerateDevices();
  deviceIndex_ = -1;
  sourceOpen_ = sourceEnabled_ = false;
  acquireDone_ = true;
  images_.reserve(10);
  ResetCaches();
}

TW_UINT16 TluTwain::CallDsm(TW_UINT32 dg, TW_UINT16 dat, TW_UINT16 msg, void* data) {
  return entry_(&appIdentity_, nullptr, dg, dat, msg, data);
}

TW_UINT16 TluTwain::CallSource(TW_UINT32 dg, TW_UINT16 dat, TW_UINT16 msg, void* data) {
  return entry_(&appIdentity_, &sourceIdentity_, dg, dat, msg, data);
}

int TluTwain::DeviceCount() const { return dsmOpen_ ? static_cast<int>(devices_.size()) : 0; }

std::string TluTwain::DeviceName(int index) const {
  if (!dsmOpen_ || index < 0 || index >= DeviceCount()) return {};
  return devices_[index];
}

void TluTwain::EnumerateDevices() {
  if (!dsmOpen_) return;
  devices_.clear();
  try {
    TW_IDENTITY scratch{};
    // A manager that never says "end of list" must not keep us here forever.
    constexpr int kMaxSources = 1000;
    TW_UINT16 rc = CallDsm(DG_CONTROL, DAT_IDENTITY, MSG_GETFIRST, &scratch);
    while (rc == TWRC_SUCCESS && devices_.size() < kMaxSources) {
      devices_.push_back(Str32ToString(scratch.ProductName));
      scratch = TW_IDENTITY{};
      rc = CallDsm(DG_CONTROL, DAT_IDENTITY, MSG_GETNEXT, &scratch);
    }
  } catch (...) {
    // A failing walk leaves the sources found so far.
  }
}

void TluTwain::SelectDevice(int index) {
  if (!dsmOpen_ || index == deviceIndex_ || sourceEnabled_ || index >= DeviceCount()) return;
  // Indices below -1 mean nothing; they would address no source.
  if (index < -1) return;
  CloseSource();
  deviceIndex_ = index;
  FetchSourceIdentity(index);
}

// The source is addressed by its position in the manager's own order, which
// is the order in which EnumerateDevices listed the names.
void TluTwain::FetchSourceIdentity(int index) {
  sourceIdentity_ = TW_IDENTITY{};
  if (index == -1) return;
  if (CallDsm(DG_CONTROL, DAT_IDENTITY, MSG_GETFIRST, &sourceIdentity_) != TWRC_SUCCESS)
    throw ETwainError(kCannotFindDevice);
  for (int i = 0; i < index; ++i)
    if (CallDsm(DG_CONTROL, DAT_IDENTITY, MSG_GETNEXT, &sourceIdentity_) != TWRC_SUCCESS)
      throw ETwainError(kCannotFindDevice);
}

bool TluTwain::SelectDeviceByName(const std::string& name) {
  // Without a manager every operation is neutral; "no sources" is an error
  // only when a manager answered with none.
  if (!dsmOpen_) return false;
  const std::string current = deviceIndex_ >= 0 && deviceIndex_ < DeviceCount() ? devices_[deviceIndex_] : "";
  if (name == current || sourceEnabled_) return false;
  CloseSource();
  EnumerateDevices();
  if (devices_.empty()) throw ETwainError(kCannotFindDevice);
  for (int i = 0; i < DeviceCount(); ++i) {
    if (devices_[i] == name) {
      SelectDevice(i);
      return true;
    }
  }
  return false;
}

std::string TluTwain::AppProductName() const { return Str32ToString(appIdentity_.ProductName); }

void TluTwain::SetAppProductName(const std::string& name) { CopyToStr32(appIdentity_.ProductName, name); }

void TluTwain::SetCallbackMode(int value) {
  if (value >= 1 && value <= 3) callbackMode_ = value;
}

bool TluTwain::IsSource2() const {
  return dsmOpen_ && deviceIndex_ != -1 && (sourceIdentity_.SupportedGroups & DF_DS2) != 0;
}

void TluTwain::OpenSourceIfNeeded() {
  if (!dsmOpen_ || sourceOpen_ || deviceIndex_ == -1) return;
  if (CallDsm(DG_CONTROL, DAT_IDENTITY, MSG_OPENDS, &sourceIdentity_) == TWRC_SUCCESS) sourceOpen_ = true;
}

void TluTwain::CloseSource() {
  if (!sourceOpen_ || inCallback_) return;
  ResetCaches();
  FreeMicr();
  micrEnabled_ = false;
  if (CallDsm(DG_CONTROL, DAT_IDENTITY, MSG_CLOSEDS, &sourceIdentity_) == TWRC_SUCCESS) {
    sourceOpen_ = false;
    return;
  }
  // A source that refuses to close may still be enabled: disable it and try once more.
  DisableSource();
  if (CallDsm(DG_CONTROL, DAT_IDENTITY, MSG_CLOSEDS, &sourceIdentity_) == TWRC_SUCCESS) sourceOpen_ = false;
}

namespace {

bool StartsWithHp(const std::string& productName) {
  return productName.size() >= 2 && std::tolower(static_cast<unsigned char>(productName[0])) == 'h' &&
         std::tolower(static_cast<unsigned char>(productName[1])) == 'p';
}

}  // namespace

void TluTwain::Acquire() {
  if (!dsmOpen_ || sourceEnabled_) return;
  OpenSourceIfNeeded();
  if (!sourceOpen_) return;

  acquireDone_ = false;
  images_.clear();
  transferredCount_ = 0;
  batchEndRequested_ = false;

  const TW_BOOL showUI = showUI_ ? 0xFFFF : 0;
  userInterface_.ShowUI = showUI;
  userInterface_.ModalUI = showUI;
  userInterface_.hParent = window_;
  if (!showUI_ && !indicators_) SetCapBool(CAP_INDICATORS, false);
  // HP's drivers are left with the pixel flavour they choose themselves.
  if (!StartsWithHp(Str32ToString(sourceIdentity_.ProductName))) SetCapUInt16(ICAP_PIXELFLAVOR, TWPF_CHOCOLATE);

  sourceEnabled_ = true;
  if (UsesCallback()) RegisterCallback();

  TW_UINT16 rc = TWRC_FAILURE;
  try {
    rc = CallSource(DG_CONTROL, DAT_USERINTERFACE, MSG_ENABLEDS, &userInterface_);
  } catch (...) {
    rc = TWRC_FAILURE;
  }
  if (rc == TWRC_SUCCESS) return;
  if (rc == TWRC_CANCEL) {
    // The user cancelled the source's own dialog before anything was
    // enabled: the source is back in its open state and there is nothing
    // to report.
    MarkSourceDisabled();
    return;
  }
  const TW_UINT16 disableRc = DisableSource();
  MarkSourceDisabled();
  if (disableRc != TWRC_CANCEL) throw ETwainError(kAcquireFailed);
}

TW_UINT16 TluTwain::DisableSource() {
  return CallSource(DG_CONTROL, DAT_USERINTERFACE, MSG_DISABLEDS, &userInterface_);
}

void TluTwain::MarkSourceDisabled() {
  sourceEnabled_ = false;
  acquireDone_ = true;
}

// Events are raised from the window procedure, which no exception may leave
// (it would have to unwind through the system's message dispatch), and in
// the middle of the transfer protocol, which must run to its end whatever a
// handler does. A failing handler therefore ends only its own work.
void TluTwain::Raise(const TNotifyEvent& event) {
  if (!event) return;
  try {
    event(*this);
  } catch (...) {
  }
}

LRESULT CALLBACK TluTwain::WindowProcedure(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  auto* session = reinterpret_cast<TluTwain*>(GetWindowLongPtrA(window, GWLP_USERDATA));
  if (!session) return DefWindowProcA(window, message, wParam, lParam);
  try {
    return session->HandleWindowMessage(window, message, wParam, lParam);
  } catch (...) {
    // Nothing may unwind into the system's message dispatch.
    return 0;
  }
}

LRESULT TluTwain::HandleWindowMessage(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  if (message == kRunQueuedCallsMessage) {
    RunQueuedCalls();
    return 0;
  }
  if (!sourceEnabled_) return DefWindowProcA(window, message, wParam, lParam);

  MSG windowsMessage{};
  windowsMessage.hwnd = window;
  windowsMessage.message = message;
  windowsMessage.wParam = wParam;
  windowsMessage.lParam = lParam;
  TW_EVENT event{};
  event.pEvent = &windowsMessage;
  event.TWMessage = MSG_NULL;
  const TW_UINT16 rc = CallSource(DG_CONTROL, DAT_EVENT, MSG_PROCESSEVENT, &event);
  switch (event.TWMessage) {
    case MSG_XFERREADY: TransferImages(); break;
    case MSG_CLOSEDSREQ: HandleCloseRequest(); break;
    default: break;
  }
  if (rc == TWRC_DSEVENT) return 0;
  return DefWindowProcA(window, message, wParam, lParam);
}

void TluTwain::HandleCloseRequest() {
  DisableSource();
  MarkSourceDisabled();
  Raise(OnFinish);
  Raise(OnCancel);
}

void TluTwain::RunQueuedCalls() { syncQueue_->RunAll(); }

bool TluTwain::UsesCallback() const {
  return entryPointsValid_ && (callbackMode_ == 1 || (callbackMode_ == 2 && IsSource2()));
}

void TluTwain::RegisterCallback() {
  callback_ = TW_CALLBACK{};
  callback_.CallBackProc = reinterpret_cast<TW_MEMREF>(CallbackProcedure);
  CallSource(DG_CONTROL, DAT_CALLBACK, MSG_REGISTER_CALLBACK, &callback_);
}

TW_UINT16 WINAPI TluTwain::CallbackProcedure(TW_IDENTITY* origin, TW_IDENTITY* dest, TW_UINT32 dg, TW_UINT16 dat,
                                             TW_UINT16 msg, TW_MEMREF data) {
  HWND window = FindWindowA(kWindowClassName, kWindowName);
  auto* session = window ? reinterpret_cast<TluTwain*>(GetWindowLongPtrA(window, GWLP_USERDATA)) : nullptr;
  if (!session) return dg == DG_CONTROL && dat == DAT_NULL ? TWRC_SUCCESS : TWRC_FAILURE;
  try {
    return session->HandleCallback(dg, dat, msg);
  } catch (...) {
    session->inCallback_ = false;
    return TWRC_FAILURE;
  }
}

TW_UINT16 TluTwain::HandleCallback(TW_UINT32 dg, TW_UINT16 dat, TW_UINT16 msg) {
  inCallback_ = true;
  const bool notification = dg == DG_CONTROL && dat == DAT_NULL;
  if (sourceEnabled_ && notification) {
    if (msg == MSG_XFERREADY) TXferThread::Start(*this, syncQueue_, window_);
    if (msg == MSG_CLOSEDSREQ) HandleCloseRequest();
  }
  inCallback_ = false;
  return notification ? TWRC_SUCCESS : TWRC_FAILURE;
}

}  // namespace pagewell
