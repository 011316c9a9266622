// The capabilities of the virtual scanner: what each answers for the open
// device and which values a set accepts.
#include <algorithm>
#include <cmath>
#include <cstring>

#include "twain/twain_values.h"
#include "virtual_source.h"

namespace virtual_scanner {

namespace {

TCapAnswer OneValue(TW_UINT16 itemType, TW_UINT32 value, bool settable = true) {
  TCapAnswer a;
  a.ConType = TWON_ONEVALUE;
  a.ItemType = itemType;
  a.Items = {value};
  a.Settable = settable;
  return a;
}

TCapAnswer Bool(bool value, bool settable = true) { return OneValue(TWTY_BOOL, value ? 1 : 0, settable); }

TCapAnswer Enumeration(TW_UINT16 itemType, std::vector<TW_UINT32> items, TW_UINT32 current) {
  TCapAnswer a;
  a.ConType = TWON_ENUMERATION;
  a.ItemType = itemType;
  a.Items = std::move(items);
  a.CurrentIndex = current;
  return a;
}

// A list of values, as an enumeration or, when asked for, as a one-value of the current one.
TCapAnswer UInt16List(const std::vector<int>& values, int current, bool asOneValue, bool settable) {
  if (asOneValue) return OneValue(TWTY_UINT16, static_cast<TW_UINT32>(current), settable);
  std::vector<TW_UINT32> items(values.begin(), values.end());
  const auto at = std::find(values.begin(), values.end(), current);
  TCapAnswer a = Enumeration(TWTY_UINT16, items, static_cast<TW_UINT32>(at == values.end() ? 0 : at - values.begin()));
  a.Settable = settable;
  return a;
}

TW_UINT32 Fix(double value) { return Fix32Bits(RealToFix32(value)); }

TW_HANDLE Container(const TCapAnswer& a, TW_UINT16 conType) {
  if (conType == TWON_RANGE) {
    TW_RANGE r{a.ItemType, a.MinValue, a.MaxValue, a.StepSize, a.DefaultValue, a.CurrentValue};
    TW_HANDLE h = GlobalAlloc(GHND, sizeof r);
    std::memcpy(GlobalLock(h), &r, sizeof r);
    GlobalUnlock(h);
    return h;
  }
  if (conType == TWON_ONEVALUE) {
    TW_ONEVALUE one{a.ItemType, a.Items.empty() ? 0 : a.Items.front()};
    TW_HANDLE h = GlobalAlloc(GHND, sizeof one);
    std::memcpy(GlobalLock(h), &one, sizeof one);
    GlobalUnlock(h);
    return h;
  }
  const std::size_t head = offsetof(TW_ENUMERATION, ItemList);
  const std::size_t size = twain::ItemSize(a.ItemType);
  TW_HANDLE h = GlobalAlloc(GHND, head + size * a.Items.size());
  auto* bytes = static_cast<std::uint8_t*>(GlobalLock(h));
  TW_ENUMERATION e{};
  e.ItemType = a.ItemType;
  e.NumItems = static_cast<TW_UINT32>(a.Items.size());
  e.CurrentIndex = a.CurrentIndex;
  e.DefaultIndex = a.DefaultIndex;
  std::memcpy(bytes, &e, head);
  for (std::size_t i = 0; i < a.Items.size(); ++i) std::memcpy(bytes + head + i * size, &a.Items[i], size);
  GlobalUnlock(h);
  return h;
}

// The current value of an answer as a one-value.
TCapAnswer CurrentOnly(const TCapAnswer& a) {
  if (a.ConType == TWON_RANGE) return OneValue(a.ItemType, a.CurrentValue, a.Settable);
  if (a.ConType == TWON_ENUMERATION)
    return OneValue(a.ItemType, a.CurrentIndex < a.Items.size() ? a.Items[a.CurrentIndex] : 0, a.Settable);
  return a;
}

}  // namespace

bool TVirtualSource::IsOnline() const {
  const int after = config_.Devices[device_].OnlineAfter;
  return online_ || (after > 0 && onlineQueries_ > after);
}

std::optional<TCapAnswer> TVirtualSource::Answer(TW_UINT16 cap) const {
  const TDeviceConfig& d = config_.Devices[device_];
  const double f = UnitFactor();
  switch (cap) {
    case ICAP_PIXELTYPE: return UInt16List(d.PixelTypes, pixelType_, d.PixelTypeAsOneValue, d.PixelTypeSettable);
    case ICAP_UNITS: return UInt16List(d.Units, unit_, d.UnitsAsOneValue || d.Units.size() == 1, true);
    case ICAP_XRESOLUTION:
    case ICAP_YRESOLUTION: {
      const double current = (cap == ICAP_XRESOLUTION ? xDpi_ : yDpi_) / f;
      if (d.ResolutionRange) {
        TCapAnswer a;
        a.ConType = TWON_RANGE;
        a.ItemType = TWTY_FIX32;
        a.MinValue = Fix(d.Resolutions[0] / f);
        a.MaxValue = Fix(d.Resolutions[1] / f);
        a.StepSize = Fix(d.Resolutions[2] / f);
        a.DefaultValue = Fix(d.Resolution / f);
        a.CurrentValue = Fix(current);
        return a;
      }
      if (d.Resolutions.size() == 1) return OneValue(TWTY_FIX32, Fix(current), false);
      std::vector<TW_UINT32> items;
      TW_UINT32 index = 0;
      for (double dpi : d.Resolutions) {
        if (std::fabs(dpi / f - current) < 1e-6) index = static_cast<TW_UINT32>(items.size());
        items.push_back(Fix(dpi / f));
      }
      return Enumeration(TWTY_FIX32, items, index);
    }
    case ICAP_PHYSICALWIDTH: return OneValue(TWTY_FIX32, Fix(d.PhysicalWidth * f), false);
    case ICAP_PHYSICALHEIGHT: return OneValue(TWTY_FIX32, Fix(d.PhysicalHeight * f), false);
    case CAP_DUPLEX: return OneValue(TWTY_UINT16, static_cast<TW_UINT32>(d.Duplex), false);
    case CAP_DUPLEXENABLED: return Bool(duplexEnabled_, d.Duplex > 0);
    case CAP_FEEDERENABLED: return Bool(feederEnabled_, d.Feeder);
    case CAP_AUTOFEED: return Bool(autoFeed_, d.Feeder);
    case ICAP_UNDEFINEDIMAGESIZE:
    case ICAP_AUTOMATICBORDERDETECTION:
      if (!d.AutoPageSize) return std::nullopt;
      return Bool(autoPageSize_);
    case CAP_UICONTROLLABLE: return Bool(d.UIControllable, false);
    case CAP_DEVICEONLINE:
      ++onlineQueries_;
      return Bool(IsOnline(), false);
    case CAP_INDICATORS: return Bool(indicators_);
    case ICAP_PIXELFLAVOR: return OneValue(TWTY_UINT16, static_cast<TW_UINT32>(pixelFlavor_));
    case CAP_MICRENABLED:
      if (!d.Micr) return std::nullopt;
      return Bool(micrEnabled_);
    case ICAP_EXTIMAGEINFO: return Bool(d.ExtImageInfo, false);
    case ICAP_SUPPORTEDSIZES: return OneValue(TWTY_UINT16, TWSS_NONE);
    case ICAP_XFERMECH: return OneValue(TWTY_UINT16, TWSX_NATIVE);
    case CAP_XFERCOUNT: return OneValue(TWTY_INT16, 0xFFFF);
    default: return std::nullopt;
  }
}

TW_UINT32 TVirtualSource::SupportFlags(TW_UINT16 cap, const TCapAnswer& answer) const {
  const TDeviceConfig& d = config_.Devices[device_];
  TW_UINT32 flags = TWQC_GET | TWQC_GETCURRENT | TWQC_GETDEFAULT;
  bool settable = answer.Settable;
  if (cap == ICAP_PIXELTYPE || cap == ICAP_UNITS) settable = settable && d.QuerySupportSet;
  if (settable) flags |= TWQC_SET | TWQC_RESET;
  return flags;
}

TW_UINT16 TVirtualSource::Capability(TW_UINT16 msg, TW_CAPABILITY* cap) {
  const std::optional<TCapAnswer> answer = Answer(cap->Cap);
  if (!answer) return Fail(TWCC_CAPUNSUPPORTED);
  switch (msg) {
    case MSG_GET:
    case MSG_GETDEFAULT:
    case MSG_GETCURRENT: {
      const TCapAnswer a = msg == MSG_GET ? *answer : CurrentOnly(*answer);
      cap->ConType = a.ConType;
      cap->hContainer = Container(a, a.ConType);
      return cap->hContainer ? TWRC_SUCCESS : Fail(TWCC_LOWMEMORY);
    }
    case MSG_QUERYSUPPORT: {
      const TDeviceConfig& d = config_.Devices[device_];
      const TCapAnswer flags = OneValue(d.QuerySupportUInt16 ? TWTY_UINT16 : TWTY_INT32, SupportFlags(cap->Cap, *answer));
      cap->ConType = TWON_ONEVALUE;
      cap->hContainer = Container(flags, TWON_ONEVALUE);
      return TWRC_SUCCESS;
    }
    case MSG_SET: {
      if (state_ != kOpen) return Fail(TWCC_SEQERROR);
      if (!answer->Settable) return Fail(TWCC_CAPBADOPERATION);
      if (cap->ConType != TWON_ONEVALUE || !cap->hContainer) return Fail(TWCC_BADVALUE);
      const auto* one = static_cast<const TW_ONEVALUE*>(GlobalLock(cap->hContainer));
      if (!one) return Fail(TWCC_BADVALUE);
      const TW_ONEVALUE value = *one;
      GlobalUnlock(cap->hContainer);
      return SetCapability(cap->Cap, value.ItemType, value.Item);
    }
    default: return Fail(TWCC_CAPBADOPERATION);
  }
}

TW_UINT16 TVirtualSource::SetCapability(TW_UINT16 cap, TW_UINT16 itemType, TW_UINT32 item) {
  const TDeviceConfig& d = config_.Devices[device_];
  const bool isBool = itemType == TWTY_BOOL;
  const bool flag = (item & 0xFFFF) != 0;
  auto contains = [](const std::vector<int>& values, TW_UINT32 v) {
    return std::find(values.begin(), values.end(), static_cast<int>(v & 0xFFFF)) != values.end();
  };
  switch (cap) {
    case ICAP_PIXELTYPE:
      if (itemType != TWTY_UINT16 || !contains(d.PixelTypes, item)) return Fail(TWCC_BADVALUE);
      pixelType_ = static_cast<int>(item & 0xFFFF);
      return TWRC_SUCCESS;
    case ICAP_UNITS:
      if (itemType != TWTY_UINT16 || !contains(d.Units, item)) return Fail(TWCC_BADVALUE);
      unit_ = static_cast<int>(item & 0xFFFF);
      return TWRC_SUCCESS;
    case ICAP_XRESOLUTION:
    case ICAP_YRESOLUTION: {
      if (itemType != TWTY_FIX32) return Fail(TWCC_BADVALUE);
      double dpi = Fix32ToReal(Fix32FromBits(item)) * UnitFactor();
      bool allowed = false;
      if (d.ResolutionRange) {
        allowed = dpi >= d.Resolutions[0] - 0.01 && dpi <= d.Resolutions[1] + 0.01;
      } else {
        // A value sent in centimetres lands near a listed one; the device
        // takes the listed value, as its current item must be one of them.
        for (double r : d.Resolutions)
          if (std::fabs(r - dpi) < 0.01) {
            allowed = true;
            dpi = r;
          }
      }
      if (!allowed) return Fail(TWCC_BADVALUE);
      (cap == ICAP_XRESOLUTION ? xDpi_ : yDpi_) = dpi;
      return TWRC_SUCCESS;
    }
    case ICAP_PIXELFLAVOR:
      if (itemType != TWTY_UINT16 || (item & 0xFFFF) > 1) return Fail(TWCC_BADVALUE);
      pixelFlavor_ = static_cast<int>(item & 0xFFFF);
      return TWRC_SUCCESS;
    case ICAP_SUPPORTEDSIZES:
      return itemType == TWTY_UINT16 && (item & 0xFFFF) == TWSS_NONE ? TWRC_SUCCESS : Fail(TWCC_BADVALUE);
    case ICAP_XFERMECH:
      return itemType == TWTY_UINT16 && (item & 0xFFFF) == TWSX_NATIVE ? TWRC_SUCCESS : Fail(TWCC_BADVALUE);
    case CAP_XFERCOUNT: return TWRC_SUCCESS;
    default: break;
  }
  if (!isBool) return Fail(TWCC_BADVALUE);
  switch (cap) {
    case CAP_DUPLEXENABLED: duplexEnabled_ = flag; break;
    case CAP_FEEDERENABLED: feederEnabled_ = flag; break;
    case CAP_AUTOFEED: autoFeed_ = flag; break;
    case ICAP_UNDEFINEDIMAGESIZE:
    case ICAP_AUTOMATICBORDERDETECTION: autoPageSize_ = flag; break;
    case CAP_INDICATORS: indicators_ = flag; break;
    case CAP_MICRENABLED: micrEnabled_ = flag; break;
    default: return Fail(TWCC_CAPBADOPERATION);
  }
  return TWRC_SUCCESS;
}

}  // namespace virtual_scanner
