// The data source's triplets: identity, enabling, events, transfers and
// image layout. Capabilities are in source_capabilities.cpp.
#include "virtual_source.h"

#include <algorithm>
#include <cstring>

#include "twain/twain_values.h"

namespace virtual_scanner {

namespace {

// The message the source posts to the application's window to say that an
// event (MSG_XFERREADY or MSG_CLOSEDSREQ) waits for its MSG_PROCESSEVENT.
UINT NotifyMessage() {
  static const UINT message = RegisterWindowMessageA("PagewellVirtualScannerEvent");
  return message;
}

TW_HANDLE CopyToGlobal(const void* data, std::size_t size) {
  TW_HANDLE handle = GlobalAlloc(GHND, size);
  if (!handle) return nullptr;
  std::memcpy(GlobalLock(handle), data, size);
  GlobalUnlock(handle);
  return handle;
}

}  // namespace

TVirtualSource& TheSource() {
  static TVirtualSource source;
  return source;
}

TW_UINT16 TVirtualSource::Fail(TW_UINT16 condition) {
  condition_ = condition;
  return TWRC_FAILURE;
}

TW_UINT16 TVirtualSource::Entry(TW_IDENTITY* origin, TW_UINT32 dg, TW_UINT16 dat, TW_UINT16 msg, TW_MEMREF data) {
  // The configuration is read afresh whenever the manager starts listing
  // the devices of a closed source, so that each session sees the file as
  // it is then: the manager keeps the source loaded between sessions.
  const bool listingStarts = dg == DG_CONTROL && dat == DAT_IDENTITY && msg == MSG_GET && walk_ == 0;
  if (!configLoaded_ || (listingStarts && state_ == kClosed)) {
    config_ = LoadScannerConfig();
    configLoaded_ = true;
  }
  if (dg == DG_CONTROL && dat == DAT_STATUS && msg == MSG_GET && data) {
    auto* status = static_cast<TW_STATUS*>(data);
    status->ConditionCode = condition_;
    status->Data = 0;
    condition_ = TWCC_SUCCESS;
    return TWRC_SUCCESS;
  }
  if (!data && !(dg == DG_CONTROL && dat == DAT_NULL)) return Fail(TWCC_BADVALUE);
  if (dg == DG_CONTROL && dat == DAT_IDENTITY) {
    if (origin && msg == MSG_OPENDS) app_ = *origin;
    return Identity(msg, static_cast<TW_IDENTITY*>(data));
  }
  if (state_ == kClosed) return Fail(TWCC_SEQERROR);
  if (dg == DG_CONTROL) {
    switch (dat) {
      case DAT_CAPABILITY: return Capability(msg, static_cast<TW_CAPABILITY*>(data));
      case DAT_USERINTERFACE: return UserInterface(msg, static_cast<TW_USERINTERFACE*>(data));
      case DAT_EVENT: return ProcessEvent(static_cast<TW_EVENT*>(data));
      case DAT_PENDINGXFERS: return PendingTransfers(msg, static_cast<TW_PENDINGXFERS*>(data));
      default: return Fail(TWCC_BADPROTOCOL);
    }
  }
  if (dg == DG_IMAGE) {
    switch (dat) {
      case DAT_IMAGENATIVEXFER:
        return msg == MSG_GET ? NativeTransfer(static_cast<TW_HANDLE*>(data)) : Fail(TWCC_BADPROTOCOL);
      case DAT_IMAGEINFO: return msg == MSG_GET ? ImageInfo(static_cast<TW_IMAGEINFO*>(data)) : Fail(TWCC_BADPROTOCOL);
      case DAT_IMAGELAYOUT: return ImageLayout(msg, static_cast<TW_IMAGELAYOUT*>(data));
      case DAT_EXTIMAGEINFO:
        return msg == MSG_GET ? ExtImageInfo(static_cast<TW_EXTIMAGEINFO*>(data)) : Fail(TWCC_BADPROTOCOL);
      default: return Fail(TWCC_BADPROTOCOL);
    }
  }
  return Fail(TWCC_BADPROTOCOL);
}

void TVirtualSource::FillIdentity(const TDeviceConfig& device, TW_IDENTITY& identity) const {
  const TW_UINT32 id = identity.Id;
  identity = TW_IDENTITY{};
  identity.Id = id;
  identity.Version.MajorNum = 1;
  identity.Version.MinorNum = 0;
  identity.Version.Language = TWLG_USERLOCALE;
  identity.Version.Country = TWCY_USA;
  CopyToStr32(identity.Version.Info, "1.0");
  identity.ProtocolMajor = 2;
  identity.ProtocolMinor = 2;
  identity.SupportedGroups = DG_CONTROL | DG_IMAGE;
  CopyToStr32(identity.Manufacturer, device.Manufacturer);
  CopyToStr32(identity.ProductFamily, "Virtual Scanner");
  CopyToStr32(identity.ProductName, device.Name);
}

TW_UINT16 TVirtualSource::Identity(TW_UINT16 msg, TW_IDENTITY* identity) {
  const std::size_t count = config_.Devices.size();
  switch (msg) {
    case MSG_GET: {
      // The manager asks again and again until a name repeats; after the
      // last device the first one is that repeat, and the walk starts over,
      // so every detection sees the devices in the same order.
      const std::size_t index = walk_ < count ? walk_ : 0;
      walk_ = walk_ < count ? walk_ + 1 : 0;
      FillIdentity(config_.Devices[index], *identity);
      return TWRC_SUCCESS;
    }
    case MSG_OPENDS: {
      if (state_ != kClosed) return Fail(TWCC_SEQERROR);
      const std::string name = Str32ToString(identity->ProductName);
      std::size_t index = 0;
      for (std::size_t i = 0; i < count; ++i)
        if (config_.Devices[i].Name == name) {
          index = i;
          break;
        }
      if (config_.Devices[index].FailOpen) return Fail(TWCC_OPERATIONERROR);
      OpenDevice(index);
      FillIdentity(config_.Devices[index], *identity);
      return TWRC_SUCCESS;
    }
    case MSG_CLOSEDS:
      if (state_ != kOpen) return Fail(TWCC_SEQERROR);
      CloseWindow();
      state_ = kClosed;
      walk_ = 0;
      return TWRC_SUCCESS;
    default: return Fail(TWCC_BADPROTOCOL);
  }
}

// Every opening starts from the device's configured values: the manager
// keeps the source loaded between sessions.
void TVirtualSource::OpenDevice(std::size_t index) {
  const TDeviceConfig& d = config_.Devices[index];
  device_ = index;
  state_ = kOpen;
  condition_ = TWCC_SUCCESS;
  pendingEvent_ = MSG_NULL;
  pixelType_ = d.PixelType;
  unit_ = d.Unit;
  xDpi_ = yDpi_ = d.Resolution;
  std::copy(std::begin(d.Frame), std::end(d.Frame), frame_);
  duplexEnabled_ = d.DuplexEnabled;
  feederEnabled_ = d.Feeder;
  autoFeed_ = d.AutoFeed;
  autoPageSize_ = false;
  indicators_ = d.Indicators;
  micrEnabled_ = false;
  online_ = d.DeviceOnline;
  onlineQueries_ = 0;
  pixelFlavor_ = d.PixelFlavor;
  nextPage_ = 1;
  pagesLeft_ = 0;
  lastMicr_.clear();
}

TW_UINT16 TVirtualSource::UserInterface(TW_UINT16 msg, TW_USERINTERFACE* ui) {
  const TDeviceConfig& d = config_.Devices[device_];
  if (msg == MSG_ENABLEDS) {
    if (state_ != kOpen) return Fail(TWCC_SEQERROR);
    if (d.Enable == "fail") return Fail(TWCC_OPERATIONERROR);
    if (d.Enable == "cancel") return TWRC_CANCEL;
    if (!IsOnline()) return Fail(TWCC_CHECKDEVICEONLINE);
    ui_ = *ui;
    state_ = kEnabled;
    nextPage_ = 1;
    if (ui_.ShowUI)
      ShowWindow();
    else
      Notify(d.Pages > 0 ? MSG_XFERREADY : MSG_CLOSEDSREQ);
    return TWRC_SUCCESS;
  }
  if (msg == MSG_DISABLEDS) {
    if (state_ != kEnabled) return Fail(TWCC_SEQERROR);
    CloseWindow();
    pendingEvent_ = MSG_NULL;
    state_ = kOpen;
    return TWRC_SUCCESS;
  }
  return Fail(TWCC_BADPROTOCOL);
}

void TVirtualSource::Notify(TW_UINT16 message) {
  pendingEvent_ = message;
  if (ui_.hParent) PostMessageA(static_cast<HWND>(ui_.hParent), NotifyMessage(), 0, 0);
}

void TVirtualSource::ScanPressed() {
  if (state_ != kEnabled) return;
  nextPage_ = 1;
  Notify(MSG_XFERREADY);
}

void TVirtualSource::ClosePressed() {
  if (state_ >= kEnabled) Notify(MSG_CLOSEDSREQ);
}

TW_UINT16 TVirtualSource::ProcessEvent(TW_EVENT* event) {
  if (state_ < kEnabled) return Fail(TWCC_SEQERROR);
  const auto* message = static_cast<const MSG*>(event->pEvent);
  event->TWMessage = MSG_NULL;
  if (!message || message->message != NotifyMessage() || pendingEvent_ == MSG_NULL) return TWRC_NOTDSEVENT;
  event->TWMessage = pendingEvent_;
  if (pendingEvent_ == MSG_XFERREADY && state_ == kEnabled) {
    state_ = kReady;
    pagesLeft_ = config_.Devices[device_].Pages;
  }
  pendingEvent_ = MSG_NULL;
  return TWRC_DSEVENT;
}

TScanSettings TVirtualSource::ScanSettingsFor(int page) const {
  const TDeviceConfig& d = config_.Devices[device_];
  TScanSettings s;
  s.PixelType = pixelType_;
  s.XDpi = xDpi_;
  s.YDpi = yDpi_;
  s.Left = frame_[0];
  s.Top = frame_[1];
  s.Right = frame_[2];
  s.Bottom = frame_[3];
  s.BitDepthOverride = d.DibBits;
  s.WhiteFirstTable = d.WhiteFirst;
  s.ZeroResolution = d.ZeroResolution;
  s.TopDown = d.TopDown;
  s.PageNumber = page;
  s.GlassWidth = d.PhysicalWidth;
  s.GlassHeight = d.PhysicalHeight;
  if (d.LargePageAt == page) {
    // Four times the frame each way (the renderer still caps each side).
    s.Right = s.Left + 4 * (s.Right - s.Left);
    s.Bottom = s.Top + 4 * (s.Bottom - s.Top);
  }
  return s;
}

TW_UINT16 TVirtualSource::NativeTransfer(TW_HANDLE* handle) {
  if (state_ != kReady || pagesLeft_ <= 0) return Fail(TWCC_SEQERROR);
  const TDeviceConfig& d = config_.Devices[device_];
  const int page = nextPage_;
  *handle = nullptr;
  if (d.CloseRequestAtPage == page) {
    // The device gives up in the middle of the batch and asks to be closed.
    pagesLeft_ = 1;
    Notify(MSG_CLOSEDSREQ);
    return TWRC_CANCEL;
  }
  if (d.OfflineAtPage == page) {
    online_ = false;
    pagesLeft_ = 1;
    return Fail(TWCC_CHECKDEVICEONLINE);
  }
  if (d.CancelAtPage == page) {
    state_ = kTransferring;
    return TWRC_CANCEL;
  }
  if (d.FailAtPage == page) return Fail(TWCC_OPERATIONERROR);

  const std::string micr = page - 1 < static_cast<int>(d.MicrTexts.size()) ? d.MicrTexts[page - 1] : "";
  TPageContent content = d.ContentOf(page);
  content.MicrLine = micr;  // a cheque carries the line the reader reports
  const TRenderedPage rendered = RenderPage(content, ScanSettingsFor(page));
  // A faulty driver: the header and table intact, half of the rows missing.
  const std::size_t handed = d.ShortDibAtPage == page ? std::max<std::size_t>(40, rendered.Dib.size() / 2)
                                                      : rendered.Dib.size();
  *handle = CopyToGlobal(rendered.Dib.data(), handed);
  if (!*handle) return Fail(TWCC_LOWMEMORY);
  lastMicr_ = micr;
  state_ = kTransferring;
  return TWRC_XFERDONE;
}

TW_UINT16 TVirtualSource::PendingTransfers(TW_UINT16 msg, TW_PENDINGXFERS* pending) {
  switch (msg) {
    case MSG_GET: break;
    case MSG_ENDXFER:
      if (state_ != kReady && state_ != kTransferring) return Fail(TWCC_SEQERROR);
      pagesLeft_ = std::max(0, pagesLeft_ - 1);
      ++nextPage_;
      state_ = pagesLeft_ > 0 ? kReady : kEnabled;
      break;
    case MSG_RESET:
      if (state_ != kReady && state_ != kTransferring) return Fail(TWCC_SEQERROR);
      pagesLeft_ = 0;
      state_ = kEnabled;
      break;
    default: return Fail(TWCC_BADPROTOCOL);
  }
  pending->Count = static_cast<TW_UINT16>(pagesLeft_);
  pending->EOJ = 0;
  return TWRC_SUCCESS;
}

TW_UINT16 TVirtualSource::ImageInfo(TW_IMAGEINFO* info) {
  if (state_ < kReady) return Fail(TWCC_SEQERROR);
  const TScanSettings s = ScanSettingsFor(nextPage_);
  *info = TW_IMAGEINFO{};
  info->XResolution = RealToFix32(s.XDpi);
  info->YResolution = RealToFix32(s.YDpi);
  info->ImageWidth = static_cast<TW_INT32>(std::min<double>(kMaxSide, std::max(1.0, std::floor((s.Right - s.Left) * s.XDpi + 0.5))));
  info->ImageLength = static_cast<TW_INT32>(std::min<double>(kMaxSide, std::max(1.0, std::floor((s.Bottom - s.Top) * s.YDpi + 0.5))));
  const int bits = pixelType_ == 0 ? 1 : pixelType_ == 2 ? 24 : 8;
  info->SamplesPerPixel = pixelType_ == 2 ? 3 : 1;
  for (int i = 0; i < info->SamplesPerPixel; ++i) info->BitsPerSample[i] = static_cast<TW_INT16>(bits == 24 ? 8 : bits);
  info->BitsPerPixel = static_cast<TW_INT16>(bits);
  info->PixelType = static_cast<TW_INT16>(pixelType_);
  return TWRC_SUCCESS;
}

double TVirtualSource::UnitFactor() const { return unit_ == TWUN_CENTIMETERS ? 2.54 : 1.0; }

TW_UINT16 TVirtualSource::ImageLayout(TW_UINT16 msg, TW_IMAGELAYOUT* layout) {
  const TDeviceConfig& d = config_.Devices[device_];
  const double f = UnitFactor();
  switch (msg) {
    case MSG_SET: {
      if (state_ != kOpen) return Fail(TWCC_SEQERROR);
      const double left = Fix32ToReal(layout->Frame.Left) / f, top = Fix32ToReal(layout->Frame.Top) / f;
      const double right = Fix32ToReal(layout->Frame.Right) / f, bottom = Fix32ToReal(layout->Frame.Bottom) / f;
      if (!(left >= 0 && top >= 0 && right > left && bottom > top)) return Fail(TWCC_BADVALUE);
      frame_[0] = left;
      frame_[1] = top;
      frame_[2] = std::min(right, d.PhysicalWidth);
      frame_[3] = std::min(bottom, d.PhysicalHeight);
      return TWRC_SUCCESS;
    }
    case MSG_RESET:
      if (state_ != kOpen) return Fail(TWCC_SEQERROR);
      std::copy(std::begin(d.Frame), std::end(d.Frame), frame_);
      break;
    case MSG_GET:
    case MSG_GETDEFAULT: break;
    default: return Fail(TWCC_BADPROTOCOL);
  }
  const double* frame = msg == MSG_GETDEFAULT ? d.Frame : frame_;
  layout->Frame.Left = RealToFix32(frame[0] * f);
  layout->Frame.Top = RealToFix32(frame[1] * f);
  layout->Frame.Right = RealToFix32(frame[2] * f);
  layout->Frame.Bottom = RealToFix32(frame[3] * f);
  layout->DocumentNumber = 1;
  layout->PageNumber = static_cast<TW_UINT32>(nextPage_);
  layout->FrameNumber = 1;
  return TWRC_SUCCESS;
}

TW_UINT16 TVirtualSource::ExtImageInfo(TW_EXTIMAGEINFO* info) {
  if (state_ < kEnabled) return Fail(TWCC_SEQERROR);
  const TDeviceConfig& d = config_.Devices[device_];
  // The application's record holds NumInfos entries; no sane request asks for more than a few.
  if (info->NumInfos == 0 || info->NumInfos > 64) return Fail(TWCC_BADVALUE);
  for (TW_UINT32 i = 0; i < info->NumInfos; ++i) {
    TW_INFO& entry = info->Info[i];
    entry.Item = 0;
    entry.NumItems = 0;
    if (entry.InfoID == TWEI_MAGDATA && d.Micr) {
      TW_STR32 text;
      CopyToStr32(text, lastMicr_);
      entry.ItemType = TWTY_STR32;
      entry.NumItems = 1;
      entry.Item = reinterpret_cast<TW_UINTPTR>(CopyToGlobal(text, sizeof text));
      entry.ReturnCode = TWRC_SUCCESS;
    } else {
      entry.ReturnCode = TWRC_INFONOTSUPPORTED;
    }
  }
  return TWRC_SUCCESS;
}

}  // namespace virtual_scanner
