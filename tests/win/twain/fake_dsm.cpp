#include "fake_dsm.h"

#include <algorithm>
#include <cstdio>
#include <cstring>

#include "twain/twain_values.h"

namespace pagewell::testing {

using namespace twain;

namespace {

TW_HANDLE WINAPI FakeAllocate(TW_UINT32 size) { return GlobalAlloc(GHND, size); }
void WINAPI FakeFree(TW_HANDLE h) { GlobalFree(h); }
TW_MEMREF WINAPI FakeLock(TW_HANDLE h) { return GlobalLock(h); }
void WINAPI FakeUnlock(TW_HANDLE h) { GlobalUnlock(h); }

std::string DatName(TW_UINT16 dat) {
  switch (dat) {
    case DAT_NULL: return "NULL";
    case DAT_CAPABILITY: return "CAPABILITY";
    case DAT_EVENT: return "EVENT";
    case DAT_IDENTITY: return "IDENTITY";
    case DAT_PARENT: return "PARENT";
    case DAT_PENDINGXFERS: return "PENDINGXFERS";
    case DAT_STATUS: return "STATUS";
    case DAT_USERINTERFACE: return "USERINTERFACE";
    case DAT_CALLBACK: return "CALLBACK";
    case DAT_IMAGELAYOUT: return "IMAGELAYOUT";
    case DAT_IMAGENATIVEXFER: return "IMAGENATIVEXFER";
    case DAT_EXTIMAGEINFO: return "EXTIMAGEINFO";
    case DAT_ENTRYPOINT: return "ENTRYPOINT";
    default: return "DAT?" + std::to_string(dat);
  }
}

std::string MsgName(TW_UINT16 msg) {
  switch (msg) {
    case MSG_GET: return "GET";
    case MSG_GETFIRST: return "GETFIRST";
    case MSG_GETNEXT: return "GETNEXT";
    case MSG_SET: return "SET";
    case MSG_RESET: return "RESET";
    case MSG_QUERYSUPPORT: return "QUERYSUPPORT";
    case MSG_OPENDSM: return "OPENDSM";
    case MSG_CLOSEDSM: return "CLOSEDSM";
    case MSG_OPENDS: return "OPENDS";
    case MSG_CLOSEDS: return "CLOSEDS";
    case MSG_DISABLEDS: return "DISABLEDS";
    case MSG_ENABLEDS: return "ENABLEDS";
    case MSG_PROCESSEVENT: return "PROCESSEVENT";
    case MSG_ENDXFER: return "ENDXFER";
    case MSG_REGISTER_CALLBACK: return "REGISTER_CALLBACK";
    default: return "MSG?" + std::to_string(msg);
  }
}

template <typename T>
TW_HANDLE AllocateCopy(const T& value, std::size_t size = sizeof(T)) {
  TW_HANDLE h = GlobalAlloc(GHND, size);
  std::memcpy(GlobalLock(h), &value, std::min(size, sizeof(T)));
  GlobalUnlock(h);
  return h;
}

TW_HANDLE Container(const TFakeCapability& cap) {
  const std::size_t itemSize = twain::ItemSize(cap.ItemType);
  if (cap.ConType == TWON_ONEVALUE) {
    TW_ONEVALUE one{cap.ItemType, cap.Items.empty() ? 0 : cap.Items.front()};
    return AllocateCopy(one);
  }
  if (cap.ConType == TWON_RANGE) {
    TW_RANGE r{cap.ItemType, cap.MinValue, cap.MaxValue, cap.StepSize, cap.CurrentValue, cap.CurrentValue};
    return AllocateCopy(r);
  }
  const std::size_t head = offsetof(TW_ENUMERATION, ItemList);
  TW_HANDLE h = GlobalAlloc(GHND, head + itemSize * cap.Items.size());
  auto* bytes = static_cast<std::uint8_t*>(GlobalLock(h));
  TW_ENUMERATION e{};
  e.ItemType = cap.ItemType;
  e.NumItems = static_cast<TW_UINT32>(cap.Items.size());
  e.CurrentIndex = cap.CurrentIndex;
  e.DefaultIndex = 0;
  std::memcpy(bytes, &e, head);
  for (std::size_t i = 0; i < cap.Items.size(); ++i) std::memcpy(bytes + head + i * itemSize, &cap.Items[i], itemSize);
  GlobalUnlock(h);
  return h;
}

}  // namespace

DsmEntry TFakeDsm::Entry() {
  return [this](TW_IDENTITY* origin, TW_IDENTITY* dest, TW_UINT32 dg, TW_UINT16 dat, TW_UINT16 msg,
                TW_MEMREF data) {
    TFakeCall call{};
    call.DG = dg;
    call.DAT = dat;
    call.MSG = msg;
    if (dest) call.Dest = Str32ToString(dest->ProductName);
    call.Rc = Handle(origin, dest, dg, dat, msg, data, call);
    Calls.push_back(call);
    return call.Rc;
  };
}

std::vector<std::string> TFakeDsm::Log() const { return LogFrom(0); }

std::vector<std::string> TFakeDsm::LogFrom(std::size_t first) const {
  std::vector<std::string> lines;
  for (std::size_t i = first; i < Calls.size(); ++i) {
    const TFakeCall& c = Calls[i];
    std::string line = DatName(c.DAT) + " " + MsgName(c.MSG);
    char detail[32];
    if (c.DAT == DAT_CAPABILITY) {
      std::snprintf(detail, sizeof detail, " %04X", c.Cap);
      line += detail;
      if (c.MSG == MSG_SET) line += "=" + std::to_string(c.SetValue);
    }
    lines.push_back(line);
  }
  return lines;
}

TFakeSource* TFakeDsm::SourceById(TW_UINT32 id) {
  return id >= 1 && id <= Sources.size() ? &Sources[id - 1] : nullptr;
}

TW_UINT16 TFakeDsm::Handle(TW_IDENTITY* origin, TW_IDENTITY* dest, TW_UINT32 dg, TW_UINT16 dat, TW_UINT16 msg,
                           TW_MEMREF data, TFakeCall& call) {
  if (!dest) return HandleManager(origin, dat, msg, data);
  TFakeSource* source = SourceById(dest->Id);
  if (!source) return TWRC_FAILURE;
  return HandleSource(*source, dg, dat, msg, data, call);
}

TW_UINT16 TFakeDsm::HandleManager(TW_IDENTITY* origin, TW_UINT16 dat, TW_UINT16 msg, TW_MEMREF data) {
  if (dat == DAT_PARENT && msg == MSG_OPENDSM) {
    if (OpenDsmRc == TWRC_SUCCESS && Dsm2) origin->SupportedGroups |= DF_DSM2;
    return OpenDsmRc;
  }
  if (dat == DAT_PARENT && msg == MSG_CLOSEDSM) return TWRC_SUCCESS;
  if (dat == DAT_ENTRYPOINT && msg == MSG_GET) {
    if (!Dsm2) return TWRC_FAILURE;
    auto* entry = static_cast<TW_ENTRYPOINT*>(data);
    entry->DSM_MemAllocate = FakeAllocate;
    entry->DSM_MemFree = FakeFree;
    entry->DSM_MemLock = FakeLock;
    entry->DSM_MemUnlock = FakeUnlock;
    return TWRC_SUCCESS;
  }
  if (dat != DAT_IDENTITY) return TWRC_FAILURE;
  auto* identity = static_cast<TW_IDENTITY*>(data);
  if (msg == MSG_GETFIRST || msg == MSG_GETNEXT) {
    walk_ = msg == MSG_GETFIRST ? 0 : walk_ + 1;
    if (walk_ >= Sources.size()) return TWRC_ENDOFLIST;
    *identity = TW_IDENTITY{};
    identity->Id = static_cast<TW_UINT32>(walk_ + 1);
    identity->SupportedGroups = Sources[walk_].SupportedGroups;
    CopyToStr32(identity->ProductName, Sources[walk_].Name);
    return TWRC_SUCCESS;
  }
  TFakeSource* source = SourceById(identity->Id);
  if (!source) return TWRC_FAILURE;
  if (msg == MSG_OPENDS) return source->OpenRc;
  if (msg == MSG_CLOSEDS) {
    const std::size_t n = closeCalls_++;
    return n < source->CloseRcs.size() ? source->CloseRcs[n] : TWRC_SUCCESS;
  }
  return TWRC_FAILURE;
}

TW_UINT16 TFakeDsm::HandleSource(TFakeSource& source, TW_UINT32 dg, TW_UINT16 dat, TW_UINT16 msg,
                                 TW_MEMREF data, TFakeCall& call) {
  switch (dat) {
    case DAT_CAPABILITY: return HandleCapability(source, msg, *static_cast<TW_CAPABILITY*>(data), call);
    case DAT_STATUS:
      static_cast<TW_STATUS*>(data)->ConditionCode = source.Condition;
      return TWRC_SUCCESS;
    case DAT_USERINTERFACE:
      if (msg == MSG_ENABLEDS) return source.EnableRc;
      return source.DisableRc;
    case DAT_EVENT: {
      auto* event = static_cast<TW_EVENT*>(data);
      event->TWMessage = source.PendingEvent;
      const bool ours = source.PendingEvent != MSG_NULL;
      source.PendingEvent = MSG_NULL;
      return ours ? TWRC_DSEVENT : TWRC_NOTDSEVENT;
    }
    case DAT_IMAGELAYOUT:
      if (msg == MSG_GET) *static_cast<TW_IMAGELAYOUT*>(data) = source.Layout;
      if (msg == MSG_SET) source.Layout = *static_cast<TW_IMAGELAYOUT*>(data);
      return TWRC_SUCCESS;
    case DAT_CALLBACK:
      source.Callback = static_cast<TW_CALLBACK*>(data)->CallBackProc;
      return TWRC_SUCCESS;
    default: return HandleTransfer(source, dat, msg, data);
  }
}

TW_UINT16 TFakeDsm::HandleCapability(TFakeSource& source, TW_UINT16 msg, TW_CAPABILITY& cap, TFakeCall& call) {
  call.Cap = cap.Cap;
  auto found = source.Caps.find(cap.Cap);
  if (found == source.Caps.end()) {
    if (msg == MSG_SET) {
      const auto* one = static_cast<const TW_ONEVALUE*>(GlobalLock(cap.hContainer));
      call.SetValue = one->Item;
      GlobalUnlock(cap.hContainer);
    }
    source.Condition = TWCC_CAPUNSUPPORTED;
    return TWRC_FAILURE;
  }
  TFakeCapability& c = found->second;
  switch (msg) {
    case MSG_GET:
      cap.ConType = c.ConType;
      cap.hContainer = Container(c);
      return TWRC_SUCCESS;
    case MSG_QUERYSUPPORT: {
      TW_ONEVALUE one{c.SupportItemType, c.Support};
      cap.ConType = TWON_ONEVALUE;
      cap.hContainer = AllocateCopy(one);
      return TWRC_SUCCESS;
    }
    case MSG_SET: {
      const auto* one = static_cast<const TW_ONEVALUE*>(GlobalLock(cap.hContainer));
      const TW_UINT32 value = one->Item;
      GlobalUnlock(cap.hContainer);
      call.SetValue = value;
      const bool accepted = c.Accepted.empty() || std::count(c.Accepted.begin(), c.Accepted.end(), value) > 0;
      if (!c.Settable || !accepted) {
        source.Condition = TWCC_BADVALUE;
        return TWRC_FAILURE;
      }
      if (c.ConType == TWON_ONEVALUE) c.Items = {value};
      if (c.ConType == TWON_RANGE) c.CurrentValue = value;
      if (c.ConType == TWON_ENUMERATION) {
        auto at = std::find(c.Items.begin(), c.Items.end(), value);
        if (at == c.Items.end()) {
          source.Condition = TWCC_BADVALUE;
          return TWRC_FAILURE;
        }
        c.CurrentIndex = static_cast<TW_UINT32>(at - c.Items.begin());
      }
      return TWRC_SUCCESS;
    }
    default: return TWRC_FAILURE;
  }
}

TW_UINT16 TFakeDsm::HandleTransfer(TFakeSource& source, TW_UINT16 dat, TW_UINT16 msg, TW_MEMREF data) {
  if (dat == DAT_IMAGENATIVEXFER && msg == MSG_GET) {
    auto* handle = static_cast<TW_HANDLE*>(data);
    if (source.Pages.empty()) return TWRC_FAILURE;
    const std::size_t page = static_cast<std::size_t>(source.PagesTransferred);
    const TW_UINT16 rc = page < source.TransferRcs.size() ? source.TransferRcs[page] : TWRC_XFERDONE;
    if (rc != TWRC_XFERDONE) return rc;
    const auto& dib = source.Pages.front();
    TW_HANDLE h = GlobalAlloc(GHND, dib.size());
    std::memcpy(GlobalLock(h), dib.data(), dib.size());
    GlobalUnlock(h);
    *handle = h;
    source.LastMicr = page < source.MicrTexts.size() ? source.MicrTexts[page] : "";
    return TWRC_XFERDONE;
  }
  if (dat == DAT_PENDINGXFERS) {
    auto* pending = static_cast<TW_PENDINGXFERS*>(data);
    if (msg == MSG_ENDXFER && !source.Pages.empty()) {
      source.Pages.erase(source.Pages.begin());
      ++source.PagesTransferred;
    }
    if (msg == MSG_RESET) source.Pages.clear();
    pending->Count = static_cast<TW_UINT16>(source.Pages.size());
    return TWRC_SUCCESS;
  }
  if (dat == DAT_EXTIMAGEINFO && msg == MSG_GET) {
    auto* info = static_cast<TW_EXTIMAGEINFO*>(data);
    TW_STR32 text;
    CopyToStr32(text, source.LastMicr);
    info->Info[0].ItemType = TWTY_STR32;
    info->Info[0].NumItems = 1;
    info->Info[0].ReturnCode = TWRC_SUCCESS;
    info->Info[0].Item = reinterpret_cast<TW_UINTPTR>(AllocateCopy(text));
    return TWRC_SUCCESS;
  }
  return TWRC_FAILURE;
}

std::vector<std::uint8_t> MakeDib(int width, int height, int bitCount, const std::vector<std::uint32_t>& table,
                                  const std::vector<std::vector<std::uint8_t>>& rows, std::int32_t xPelsPerMeter,
                                  std::int32_t yPelsPerMeter) {
  const std::size_t stride = ((static_cast<std::size_t>(width) * bitCount + 31) / 32) * 4;
  std::vector<std::uint8_t> dib(40 + 4 * table.size() + stride * height);
  auto put32 = [&dib](std::size_t at, std::uint32_t v) { std::memcpy(&dib[at], &v, 4); };
  put32(0, 40);
  put32(4, static_cast<std::uint32_t>(width));
  put32(8, static_cast<std::uint32_t>(height));
  dib[12] = 1;
  dib[14] = static_cast<std::uint8_t>(bitCount);
  put32(24, static_cast<std::uint32_t>(xPelsPerMeter));
  put32(28, static_cast<std::uint32_t>(yPelsPerMeter));
  // Table entries are given as 0x00RRGGBB, which is RGBQUAD's byte order.
  for (std::size_t i = 0; i < table.size(); ++i) put32(40 + 4 * i, table[i]);
  const std::size_t pixels = 40 + 4 * table.size();
  for (int y = 0; y < height && y < static_cast<int>(rows.size()); ++y) {
    const auto& row = rows[y];
    std::memcpy(&dib[pixels + (height - 1 - y) * stride], row.data(), std::min(row.size(), stride));
  }
  return dib;
}

TFakeCapability OneValue(TW_UINT16 itemType, TW_UINT32 value) {
  TFakeCapability c;
  c.ConType = TWON_ONEVALUE;
  c.ItemType = itemType;
  c.Items = {value};
  return c;
}

TFakeCapability Enumeration(TW_UINT16 itemType, std::vector<TW_UINT32> items, TW_UINT32 current) {
  TFakeCapability c;
  c.ConType = TWON_ENUMERATION;
  c.ItemType = itemType;
  c.Items = std::move(items);
  c.CurrentIndex = current;
  return c;
}

TFakeCapability Range(double minimum, double maximum, double step, double current) {
  TFakeCapability c;
  c.ConType = TWON_RANGE;
  c.ItemType = TWTY_FIX32;
  c.MinValue = Fix(minimum);
  c.MaxValue = Fix(maximum);
  c.StepSize = Fix(step);
  c.CurrentValue = Fix(current);
  return c;
}

TW_UINT32 Fix(double value) { return Fix32Bits(RealToFix32(value)); }

}  // namespace pagewell::testing
