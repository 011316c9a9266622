// Capability negotiation: reading and setting the selected source's
// capabilities and image layout, with the probed lists of units and pixel
// types and the resolution information cached until the source closes.
#include <cmath>

#include "twain/lu_twain.h"
#include "twain/twain_values.h"

namespace pagewell {

using namespace twain;

namespace {

constexpr int kUnitCount = 7;         // TWUN_INCHES .. TWUN_MILLIMETERS
constexpr int kPixelTypeCount = 17;   // TWPT_BW .. TWPT_INFRARED
constexpr TW_UINT16 kCheckStatusCode = 0x8001;

const std::vector<int> kUnitProbes = {0, 1, 2, 3, 4, 5, 6};
// 12..15 are not pixel types a scanner offers.
const std::vector<int> kPixelTypeProbes = {0, 1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11, 16};

double Fix32Item(TW_UINT32 bits) { return Fix32ToReal(Fix32FromBits(bits)); }

}  // namespace

void TluTwain::ResetCaches() {
  unitsList_ = TCapabilityList{false, false, std::vector<bool>(kUnitCount)};
  pixelTypesList_ = TCapabilityList{false, false, std::vector<bool>(kPixelTypeCount)};
  resolutionInfo_ = TResolutionInfo{};
}

TW_UINT16 TluTwain::ConditionCode() {
  TW_STATUS status{};
  if (CallSource(DG_CONTROL, DAT_STATUS, MSG_GET, &status) != TWRC_SUCCESS) return TWCC_BADDEST;
  return status.ConditionCode;
}

bool TluTwain::GetCapability(TW_UINT16 cap, TCapabilityValue& value) {
  value = TCapabilityValue{};
  OpenSourceIfNeeded();
  if (!sourceOpen_) return false;
  TW_CAPABILITY capability{cap, TWON_DONTCARE16, nullptr};
  const TW_UINT16 rc = CallSource(DG_CONTROL, DAT_CAPABILITY, MSG_GET, &capability);
  // Whatever the answer, a container that came back is ours to free.
  TOwnedHandle container(memory_, capability.hContainer);
  if (rc != TWRC_SUCCESS) {
    if (rc == TWRC_FAILURE) lastConditionCode_ = ConditionCode();
    return false;
  }
  THandleLock lock(memory_, container.Get());
  value = ReadCapabilityContainer(capability.ConType, lock.Data(), memory_.KnownSize(container.Get()));
  return true;
}

bool TluTwain::SetCapability(TW_UINT16 cap, TW_UINT16 itemType, TW_UINT32 item) {
  OpenSourceIfNeeded();
  if (!sourceOpen_ || sourceEnabled_) return false;
  TOwnedHandle container(memory_, memory_.Allocate(sizeof(TW_ONEVALUE)));
  if (!container.Get()) return false;
  {
    THandleLock lock(memory_, container.Get());
    if (!lock.Data()) return false;
    auto* one = static_cast<TW_ONEVALUE*>(lock.Data());
    one->ItemType = itemType;
    one->Item = item;
  }
  TW_CAPABILITY capability{cap, TWON_ONEVALUE, container.Get()};
  const TW_UINT16 rc = CallSource(DG_CONTROL, DAT_CAPABILITY, MSG_SET, &capability);
  if (rc == TWRC_FAILURE) lastConditionCode_ = ConditionCode();
  if (rc == TWRC_CHECKSTATUS) lastConditionCode_ = kCheckStatusCode;
  return rc == TWRC_SUCCESS;
}

TW_UINT32 TluTwain::QuerySupport(TW_UINT16 cap) {
  OpenSourceIfNeeded();
  if (!sourceOpen_) return 0;
  TW_CAPABILITY capability{cap, TWON_ONEVALUE, nullptr};
  const TW_UINT16 rc = CallSource(DG_CONTROL, DAT_CAPABILITY, MSG_QUERYSUPPORT, &capability);
  TOwnedHandle container(memory_, capability.hContainer);
  if (rc != TWRC_SUCCESS || capability.ConType != TWON_ONEVALUE) return 0;
  THandleLock lock(memory_, container.Get());
  const TCapabilityValue value =
      ReadCapabilityContainer(capability.ConType, lock.Data(), memory_.KnownSize(container.Get()));
  if ((value.ItemType != TWTY_INT32 && value.ItemType != TWTY_UINT16) || value.Items.empty()) return 0;
  return value.Items.front() & 0xFFFF;
}

bool TluTwain::CanSet(TW_UINT16 cap) { return (QuerySupport(cap) & TWQC_SET) != 0; }

bool TluTwain::SetCapBool(TW_UINT16 cap, bool value) { return SetCapability(cap, TWTY_BOOL, value ? 1 : 0); }

bool TluTwain::SetCapUInt16(TW_UINT16 cap, TW_UINT16 value) { return SetCapability(cap, TWTY_UINT16, value); }

bool TluTwain::SetCapFix32(TW_UINT16 cap, double value) {
  return SetCapability(cap, TWTY_FIX32, Fix32Bits(RealToFix32(value)));
}

std::optional<TW_UINT32> TluTwain::CurrentValue(TW_UINT16 cap, TW_UINT16 itemType) {
  TCapabilityValue value;
  if (!GetCapability(cap, value)) return std::nullopt;
  return value.Current(itemType);
}

bool TluTwain::ReadBool(TW_UINT16 cap) {
  const auto current = CurrentValue(cap, TWTY_BOOL);
  return current && (*current & 0xFFFF) != 0;
}

bool TluTwain::DeviceOnline() { return ReadBool(CAP_DEVICEONLINE); }
bool TluTwain::UIControllable() { return ReadBool(CAP_UICONTROLLABLE); }
bool TluTwain::AutoFeed() { return ReadBool(CAP_AUTOFEED); }
bool TluTwain::MICRCapable() { return ReadBool(CAP_MICRENABLED); }

int TluTwain::Units() {
  const auto current = CurrentValue(ICAP_UNITS, TWTY_UINT16);
  return current ? static_cast<int>(*current & 0xFF) : -1;
}

int TluTwain::PixelType() {
  const auto current = CurrentValue(ICAP_PIXELTYPE, TWTY_UINT16);
  return current ? static_cast<int>(*current & 0xFF) : -1;
}

TluTwain::TCapabilityList& TluTwain::ProbedList(TW_UINT16 cap) {
  if (cap == ICAP_UNITS) {
    if (!unitsList_.Built) BuildCapabilityList(ICAP_UNITS, kUnitProbes, unitsList_);
    return unitsList_;
  }
  if (!pixelTypesList_.Built) BuildCapabilityList(ICAP_PIXELTYPE, kPixelTypeProbes, pixelTypesList_);
  return pixelTypesList_;
}

// Which values a source accepts: an enumeration says so itself; for a
// one-value answer every candidate is set in turn and read back, and the
// value the source had is set again afterwards.
void TluTwain::BuildCapabilityList(TW_UINT16 cap, const std::vector<int>& probeValues, TCapabilityList& list) {
  TCapabilityValue answer;
  if (!GetCapability(cap, answer)) return;
  const int lastProbe = probeValues.back();
  auto mark = [&list](TW_UINT32 v) {
    if (v < list.Supported.size()) list.Supported[v] = true;
  };
  if (answer.ConType == TWON_ENUMERATION && answer.ItemType == TWTY_UINT16) {
    for (TW_UINT32 item : answer.Items) mark(item);
    list.Several = true;
  } else if (answer.ConType == TWON_ONEVALUE && answer.ItemType == TWTY_UINT16 && !answer.Items.empty()) {
    const TW_UINT32 original = answer.Items.front();
    if (CanSet(cap)) {
      for (int candidate : probeValues) {
        if (!SetCapUInt16(cap, static_cast<TW_UINT16>(candidate))) continue;
        TCapabilityValue readBack;
        if (GetCapability(cap, readBack) && readBack.ConType == TWON_ONEVALUE &&
            readBack.Current(TWTY_UINT16) == static_cast<TW_UINT32>(candidate)) {
          mark(candidate);
          if (static_cast<TW_UINT32>(candidate) != original) list.Several = true;
        }
      }
      // The last probe already left the source at the last candidate.
      if (original < static_cast<TW_UINT32>(lastProbe)) SetCapUInt16(cap, static_cast<TW_UINT16>(original));
    } else {
      mark(original);
    }
  }
  list.Built = true;
}

void TluTwain::SetUnits(int units) {
  OpenSourceIfNeeded();
  if (!sourceOpen_) return;
  const TCapabilityList& list = ProbedList(ICAP_UNITS);
  if (units >= 0 && units < kUnitCount && list.Supported[units]) SetCapUInt16(ICAP_UNITS, static_cast<TW_UINT16>(units));
  resolutionInfo_ = TResolutionInfo{};
}

bool TluTwain::UnitSupported(int units) {
  OpenSourceIfNeeded();
  if (!sourceOpen_ || units < 0 || units >= kUnitCount) return false;
  return ProbedList(ICAP_UNITS).Supported[units];
}

bool TluTwain::SeveralUnits() {
  OpenSourceIfNeeded();
  if (!sourceOpen_) return false;
  return ProbedList(ICAP_UNITS).Several;
}

bool TluTwain::PixelTypeSupported(int pixelType) {
  OpenSourceIfNeeded();
  if (!sourceOpen_ || pixelType < 0 || pixelType >= kPixelTypeCount) return false;
  return ProbedList(ICAP_PIXELTYPE).Supported[pixelType];
}

void TluTwain::SetPixelType(int pixelType) {
  if (PixelTypeSupported(pixelType)) SetCapUInt16(ICAP_PIXELTYPE, static_cast<TW_UINT16>(pixelType));
}

namespace {

// Fills one axis from an X or Y resolution answer; false when the answer
// is no FIX32 enumeration, one-value or range.
bool ReadAxis(const TCapabilityValue& answer, TluTwain::TResolutionAxis& axis) {
  if (answer.ItemType != TWTY_FIX32) return false;
  switch (answer.ConType) {
    case TWON_ENUMERATION: {
      if (answer.Items.empty()) return false;
      axis.Minimum = Fix32Item(answer.Items.front());
      axis.Maximum = Fix32Item(answer.Items.back());
      const auto current = answer.Current(TWTY_FIX32);
      axis.Current = current ? Fix32Item(*current) : -1.0;
      axis.Step = -1.0;
      return true;
    }
    case TWON_ONEVALUE: {
      if (answer.Items.empty()) return false;
      axis.Minimum = axis.Maximum = axis.Current = Fix32Item(answer.Items.front());
      axis.Step = -1.0;
      return true;
    }
    case TWON_RANGE:
      axis.Minimum = Fix32Item(answer.MinValue);
      axis.Maximum = Fix32Item(answer.MaxValue);
      axis.Step = Fix32Item(answer.StepSize);
      axis.Current = Fix32Item(answer.CurrentValue);
      return true;
    default: return false;
  }
}

}  // namespace

void TluTwain::ReadResolutionInfo() {
  resolutionInfo_ = TResolutionInfo{};
  TCapabilityValue x;
  if (GetCapability(ICAP_XRESOLUTION, x) && ReadAxis(x, resolutionInfo_.X)) {
    resolutionInfo_.Read = true;
    resolutionInfo_.Several = x.ConType != TWON_ONEVALUE;
    if (x.ConType != TWON_RANGE)
      for (TW_UINT32 item : x.Items) resolutionInfo_.XValues.push_back(Fix32Item(item));
  }
  TCapabilityValue y;
  if (GetCapability(ICAP_YRESOLUTION, y)) ReadAxis(y, resolutionInfo_.Y);
}

void TluTwain::ReadResolutionIfNeeded() {
  OpenSourceIfNeeded();
  if (sourceOpen_ && !resolutionInfo_.Read) ReadResolutionInfo();
}

double TluTwain::Resolution() {
  ReadResolutionIfNeeded();
  return resolutionInfo_.X.Current;
}

namespace {

// A range's step must make progress and the count must stay countable: a
// source that reports a zero, negative or tiny step offers one value only.
constexpr double kMaxRangeValues = 100000.0;

int RangeCount(const TluTwain::TResolutionAxis& axis) {
  if (!(axis.Step > 0.0) || axis.Maximum < axis.Minimum) return axis.Maximum >= axis.Minimum ? 1 : 0;
  const double steps = std::trunc((axis.Maximum - axis.Minimum) / axis.Step + 0.5);
  return steps >= kMaxRangeValues ? static_cast<int>(kMaxRangeValues) : static_cast<int>(steps) + 1;
}

}  // namespace

int TluTwain::ResolutionCount() {
  ReadResolutionIfNeeded();
  if (!resolutionInfo_.Read) return 0;
  if (!resolutionInfo_.XValues.empty()) return static_cast<int>(resolutionInfo_.XValues.size());
  return RangeCount(resolutionInfo_.X);
}

double TluTwain::ResolutionValue(int index) {
  ReadResolutionIfNeeded();
  if (index < 1 || !resolutionInfo_.Read) return 0.0;
  const auto& values = resolutionInfo_.XValues;
  if (!values.empty()) return index <= static_cast<int>(values.size()) ? values[index - 1] : 0.0;
  const auto& x = resolutionInfo_.X;
  if (index > RangeCount(x)) return 0.0;
  const double step = x.Step > 0.0 ? x.Step : 0.0;
  const double value = x.Minimum + (index - 1) * step;
  return value <= x.Maximum ? value : 0.0;
}

void TluTwain::SetResolution(double value) {
  ReadResolutionIfNeeded();
  if (!resolutionInfo_.Read) return;
  if (resolutionInfo_.Several && resolutionInfo_.X.Minimum <= value && value <= resolutionInfo_.X.Maximum) {
    SetCapFix32(ICAP_XRESOLUTION, value);
    ReadResolutionInfo();
  }
  if (resolutionInfo_.Several && resolutionInfo_.Y.Minimum <= value && value <= resolutionInfo_.Y.Maximum) {
    SetCapFix32(ICAP_YRESOLUTION, value);
    ReadResolutionInfo();
  }
}

double TluTwain::PhysicalWidth() {
  TCapabilityValue value;
  if (!GetCapability(ICAP_PHYSICALWIDTH, value) || value.ConType != TWON_ONEVALUE) return -1.0;
  const auto current = value.Current(TWTY_FIX32);
  return current ? Fix32Item(*current) : -1.0;
}

double TluTwain::PhysicalHeight() {
  TCapabilityValue value;
  if (!GetCapability(ICAP_PHYSICALHEIGHT, value) || value.ConType != TWON_ONEVALUE) return -1.0;
  const auto current = value.Current(TWTY_FIX32);
  return current ? Fix32Item(*current) : -1.0;
}

bool TluTwain::ReadFrame() {
  OpenSourceIfNeeded();
  if (!sourceOpen_) return false;
  TW_IMAGELAYOUT layout = frame_;
  if (CallSource(DG_IMAGE, DAT_IMAGELAYOUT, MSG_GET, &layout) != TWRC_SUCCESS) return false;
  frame_ = layout;
  return true;
}

double TluTwain::FrameEdge(int edge) {
  if (!ReadFrame()) return 0.0;
  const TW_FIX32 edges[] = {frame_.Frame.Left, frame_.Frame.Top, frame_.Frame.Right, frame_.Frame.Bottom};
  return Fix32ToReal(edges[edge]);
}

double TluTwain::FrameLeft() { return FrameEdge(0); }
double TluTwain::FrameTop() { return FrameEdge(1); }
double TluTwain::FrameRight() { return FrameEdge(2); }
double TluTwain::FrameBottom() { return FrameEdge(3); }

void TluTwain::SetFrame(double left, double right, double top, double bottom) {
  if (sourceEnabled_ || !(right > left) || !(bottom > top)) return;
  OpenSourceIfNeeded();
  if (!sourceOpen_) return;
  frame_.Frame.Left = RealToFix32(left);
  frame_.Frame.Top = RealToFix32(top);
  frame_.Frame.Right = RealToFix32(right);
  frame_.Frame.Bottom = RealToFix32(bottom);
  SetSupportedSize(TWSS_NONE);
  TW_IMAGELAYOUT layout = frame_;
  CallSource(DG_IMAGE, DAT_IMAGELAYOUT, MSG_SET, &layout);
}

int TluTwain::DuplexType() {
  TCapabilityValue value;
  if (!GetCapability(CAP_DUPLEX, value) || value.ConType != TWON_ONEVALUE) return 0;
  const auto current = value.Current(TWTY_UINT16);
  return current && *current < 3 ? static_cast<int>(*current) : 0;
}

void TluTwain::SetDuplex(bool value) { SetCapBool(CAP_DUPLEXENABLED, value); }

void TluTwain::SetFeeder(bool value) {
  SetCapBool(CAP_FEEDERENABLED, value);
  SetCapBool(CAP_AUTOFEED, value);
}

void TluTwain::SetAutoPageSize(bool value) {
  SetCapBool(ICAP_UNDEFINEDIMAGESIZE, value);
  SetCapBool(ICAP_AUTOMATICBORDERDETECTION, value);
}

void TluTwain::SetSupportedSize(TW_UINT16 size) { SetCapUInt16(ICAP_SUPPORTEDSIZES, size); }

void TluTwain::SetMICREnabled(bool value) {
  if (SetCapBool(CAP_MICRENABLED, value)) micrEnabled_ = MICRCapable();
}

}  // namespace pagewell
