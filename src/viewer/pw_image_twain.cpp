// The viewer's TWAIN session: created on the first operation that reads,
// with the scan settings the viewer kept meanwhile; scans run from here.
#include <windows.h>

#include "viewer/message_pump.h"
#include "viewer/pw_image.h"

namespace pagewell {

namespace {

std::wstring WideFromAnsi(const std::string& text) {
  if (text.empty()) return {};
  const int length = MultiByteToWideChar(CP_ACP, 0, text.data(), static_cast<int>(text.size()), nullptr, 0);
  std::wstring wide(static_cast<std::size_t>(length > 0 ? length : 0), L'\0');
  if (length > 0) MultiByteToWideChar(CP_ACP, 0, text.data(), static_cast<int>(text.size()), wide.data(), length);
  return wide;
}

}  // namespace

void TPWImage::EnsureTwain() {
  if (twain_) {
    // Every read through the viewer sees the sources as they are now.
    twain_->EnumerateDevices();
    return;
  }
  twain_ = std::make_unique<TluTwain>("Orlavex Pagewell", 1, 1, true);
  TluTwain& session = *twain_;
  // Transfers start from the session's window procedure, never from the
  // manager's callback.
  session.SetCallbackMode(3);
  session.SetShowUI(showUI_);
  session.SetKeepSourceEnabled(keepSourceEnabled_);
  session.SetIndicators(indicators_);
  session.OnImage = [this](TluTwain& sender) { ImageFromSession(sender); };
  session.OnCancel = [this](TluTwain& sender) {
    if (OnAcquireCancel) OnAcquireCancel(sender);
  };
  session.OnFinish = [this](TluTwain& sender) {
    if (OnAcquireFinish) OnAcquireFinish(sender);
  };
  session.SelectDevice(deviceIndex_);
  session.SetAppProductName(twainAppName_);
  session.SetFeeder(feeder_);
  session.SetMultiImage(multiImage_);
  session.SetAppendMode(false);
  session.SetMaxImages(maxImages_);
  session.SetImageIndex(1);
}

// One scanned image becomes the viewer's image.
void TPWImage::ImageFromSession(TluTwain& session) {
  const TBMPImage* scanned = session.CurrentImage();
  if (!scanned) return;
  auto image = std::make_unique<TluBitmap>();
  image->Assign(*scanned);
  image_ = std::move(image);
  viewOnly_ = {};
  Layout();
  Repaint();
  if (OnAcquire) OnAcquire(session);
}

void TPWImage::Acquire() {
  EnsureTwain();
  if (!twain_) return;
  // The session runs with callback mode 3: its transfers start from its
  // window procedure, which this wait's message dispatch calls, so no
  // worker thread needs to wake this one.
  twain_->Acquire();
  while (!twain_->AcquireDone()) {
    if (!ProcessPendingMessages()) break;
  }
  micrText_ = WideFromAnsi(twain_->MICRText());
}

void TPWImage::EndAcquisition() {
  if (twain_) twain_->EndBatchAfterThisImage();
}

std::wstring TPWImage::SessionMICRText() const {
  return twain_ ? WideFromAnsi(twain_->MICRText()) : std::wstring();
}

// --- pass-through operations -----------------------------------------------

int TPWImage::DeviceCount() {
  EnsureTwain();
  return twain_ ? twain_->DeviceCount() : 0;
}

std::string TPWImage::DeviceName(int index) {
  EnsureTwain();
  return twain_ ? twain_->DeviceName(index) : std::string();
}

int TPWImage::DeviceIndex() const { return twain_ ? twain_->DeviceIndex() : deviceIndex_; }

void TPWImage::SetDeviceIndex(int index) {
  if (index < -1 || index >= DeviceCount()) return;
  deviceIndex_ = index;
  twain_->SelectDevice(index);
}

bool TPWImage::SelectDeviceByName(const std::string& name) {
  EnsureTwain();
  if (!twain_) return false;
  const bool selected = twain_->SelectDeviceByName(name);
  deviceIndex_ = twain_->DeviceIndex();
  return selected;
}

bool TPWImage::DeviceOnline() {
  EnsureTwain();
  return twain_ && twain_->DeviceOnline();
}

bool TPWImage::UIControllable() {
  EnsureTwain();
  return twain_ && twain_->UIControllable();
}

int TPWImage::Units() {
  EnsureTwain();
  return twain_ ? twain_->Units() : -1;
}

void TPWImage::SetUnits(int units) {
  if (twain_) twain_->SetUnits(units);
}

int TPWImage::PixelType() {
  EnsureTwain();
  return twain_ ? twain_->PixelType() : -1;
}

void TPWImage::SetPixelType(int pixelType) {
  if (twain_) twain_->SetPixelType(pixelType);
}

bool TPWImage::PixelTypeSupported(int pixelType) {
  EnsureTwain();
  return twain_ && twain_->PixelTypeSupported(pixelType);
}

double TPWImage::Resolution() {
  EnsureTwain();
  return twain_ ? twain_->Resolution() : -1.0;
}

void TPWImage::SetResolution(double value) {
  if (twain_) twain_->SetResolution(value);
}

int TPWImage::ResolutionCount() {
  EnsureTwain();
  return twain_ ? twain_->ResolutionCount() : 0;
}

double TPWImage::ResolutionValue(int index) {
  EnsureTwain();
  return twain_ ? twain_->ResolutionValue(index) : 0.0;
}

double TPWImage::PhysicalWidth() {
  EnsureTwain();
  return twain_ ? twain_->PhysicalWidth() : -1.0;
}

double TPWImage::PhysicalHeight() {
  EnsureTwain();
  return twain_ ? twain_->PhysicalHeight() : -1.0;
}

double TPWImage::FrameLeft() {
  EnsureTwain();
  return twain_ ? twain_->FrameLeft() : 0.0;
}

double TPWImage::FrameTop() {
  EnsureTwain();
  return twain_ ? twain_->FrameTop() : 0.0;
}

double TPWImage::FrameRight() {
  EnsureTwain();
  return twain_ ? twain_->FrameRight() : 0.0;
}

double TPWImage::FrameBottom() {
  EnsureTwain();
  return twain_ ? twain_->FrameBottom() : 0.0;
}

void TPWImage::SetFrame(double left, double right, double top, double bottom) {
  if (twain_) twain_->SetFrame(left, right, top, bottom);
}

int TPWImage::DuplexType() {
  EnsureTwain();
  return twain_ ? twain_->DuplexType() : 0;
}

void TPWImage::SetDuplex(bool value) {
  if (twain_) twain_->SetDuplex(value);
}

void TPWImage::SetAutoPageSize(bool value) {
  if (twain_) twain_->SetAutoPageSize(value);
}

bool TPWImage::MICRCapable() {
  EnsureTwain();
  return twain_ && twain_->MICRCapable();
}

void TPWImage::SetMICREnabled(bool value) {
  if (twain_) twain_->SetMICREnabled(value);
}

bool TPWImage::ShowUI() const { return twain_ ? twain_->ShowUI() : showUI_; }

void TPWImage::SetShowUI(bool value) {
  showUI_ = value;
  if (twain_) twain_->SetShowUI(value);
}

void TPWImage::SetKeepSourceEnabled(bool value) {
  keepSourceEnabled_ = value;
  if (twain_) twain_->SetKeepSourceEnabled(value);
}

void TPWImage::SetMultiImage(bool value) {
  multiImage_ = value;
  if (twain_) twain_->SetMultiImage(value);
}

void TPWImage::SetIndicators(bool value) {
  indicators_ = value;
  if (twain_) twain_->SetIndicators(value);
}

void TPWImage::SetFeeder(bool value) {
  feeder_ = value;
  if (twain_) twain_->SetFeeder(value);
}

void TPWImage::SetMaxImages(int value) {
  maxImages_ = value < 0 ? 0 : value;
  if (twain_) twain_->SetMaxImages(maxImages_);
}

}  // namespace pagewell
