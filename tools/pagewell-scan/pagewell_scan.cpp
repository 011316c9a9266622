// pagewell-scan: a TWAIN diagnostic over the control's own session. It
// lists the sources with their key capabilities, scans with chosen
// settings, saves the pages as BMP files with their MICR text, and can
// trace every triplet sent to the source manager.
#include <windows.h>

#include <cstdio>
#include <string>
#include <vector>

#include "bmp_file.h"
#include "scan_options.h"
#include "triplet_names.h"
#include "twain/lu_twain.h"
#include "twain/twain_values.h"

using namespace pagewell;
using namespace pagewell_scan;
using namespace twain;

namespace {

constexpr int kExitDone = 0;
constexpr int kExitScanFailed = 1;
constexpr int kExitUsage = 2;
constexpr int kExitNoDevice = 3;

int Fail(int code, const std::string& message) {
  std::fprintf(stderr, "pagewell-scan: %s\n", message.c_str());
  return code;
}

// The manager's entry, printing each triplet and its answer when asked to.
DsmEntry TracingEntry(DSMENTRYPROC entry, bool trace) {
  if (!trace) return entry;
  return [entry](TW_IDENTITY* origin, TW_IDENTITY* dest, TW_UINT32 dg, TW_UINT16 dat, TW_UINT16 msg, TW_MEMREF data) {
    std::string detail;
    if (dat == DAT_CAPABILITY && data) {
      const auto* cap = static_cast<const TW_CAPABILITY*>(data);
      detail = " " + CapabilityName(cap->Cap);
      if (msg == MSG_SET && cap->hContainer) {
        if (const auto* one = static_cast<const TW_ONEVALUE*>(GlobalLock(cap->hContainer))) {
          detail += " = " + (one->ItemType == TWTY_FIX32 ? std::to_string(Fix32ToReal(Fix32FromBits(one->Item)))
                                                         : std::to_string(one->Item));
          GlobalUnlock(cap->hContainer);
        }
      }
    }
    const TW_UINT16 rc = entry(origin, dest, dg, dat, msg, data);
    if (!(dat == DAT_EVENT && rc == TWRC_NOTDSEVENT)) {  // one per window message: too many to show
      const std::string to = dest ? Str32ToString(dest->ProductName) : "manager";
      std::fprintf(stderr, "trace: %s%s -> %s (%s)\n", TripletName(dg, dat, msg).c_str(), detail.c_str(),
                   ReturnCodeName(rc).c_str(), to.c_str());
    }
    return rc;
  };
}

std::string YesNo(bool value) { return value ? "yes" : "no"; }

void ListDevice(TluTwain& twain, int index) {
  std::printf("%d: %s\n", index, twain.DeviceName(index).c_str());
  twain.SelectDevice(index);
  twain.OpenSourceIfNeeded();
  if (!twain.SourceOpen()) {
    std::printf("   (cannot be opened)\n");
    return;
  }
  std::string types;
  for (int t = 0; t <= 16; ++t)
    if (twain.PixelTypeSupported(t)) types += " " + std::to_string(t);
  std::string units;
  for (int u = 0; u <= 6; ++u)
    if (twain.UnitSupported(u)) units += " " + std::to_string(u);
  std::printf("   pixel type %d (offers%s)\n", twain.PixelType(), types.c_str());
  std::printf("   units %d (offers%s)\n", twain.Units(), units.c_str());
  std::string resolutions;
  const int count = twain.ResolutionCount();
  for (int i = 1; i <= count && i <= 40; ++i) resolutions += " " + std::to_string(static_cast<int>(twain.ResolutionValue(i)));
  if (count > 40) resolutions += " ...";
  std::printf("   resolution %g (%d values:%s)\n", twain.Resolution(), count, resolutions.c_str());
  std::printf("   physical size %g x %g, frame %g,%g,%g,%g\n", twain.PhysicalWidth(), twain.PhysicalHeight(),
              twain.FrameLeft(), twain.FrameTop(), twain.FrameRight(), twain.FrameBottom());
  std::printf("   duplex type %d, auto feed %s, online %s, own interface controllable %s, MICR %s\n",
              twain.DuplexType(), YesNo(twain.AutoFeed()).c_str(), YesNo(twain.DeviceOnline()).c_str(),
              YesNo(twain.UIControllable()).c_str(), YesNo(twain.CanSet(CAP_MICRENABLED)).c_str());
  twain.CloseSource();
}

void ApplySettings(TluTwain& twain, const TScanOptions& o) {
  if (o.Units) {
    twain.SetUnits(*o.Units);
    if (twain.Units() != *o.Units) std::fprintf(stderr, "pagewell-scan: the device keeps units %d\n", twain.Units());
  }
  if (o.PixelType) {
    if (!twain.PixelTypeSupported(*o.PixelType))
      std::fprintf(stderr, "pagewell-scan: the device does not offer pixel type %d\n", *o.PixelType);
    twain.SetPixelType(*o.PixelType);
  }
  if (o.Resolution) {
    twain.SetResolution(*o.Resolution);
    if (twain.Resolution() != *o.Resolution)
      std::fprintf(stderr, "pagewell-scan: the device keeps resolution %g\n", twain.Resolution());
  }
  if (o.Frame) twain.SetFrame((*o.Frame)[0], (*o.Frame)[2], (*o.Frame)[1], (*o.Frame)[3]);
  if (o.Duplex) twain.SetDuplex(true);
  if (o.Micr) {
    twain.SetMICREnabled(true);
    if (!twain.MICREnabled()) std::fprintf(stderr, "pagewell-scan: the device cannot read MICR\n");
  }
  twain.SetShowUI(o.ShowUI);
  twain.SetIndicators(o.ShowUI);
  twain.SetKeepSourceEnabled(o.ShowUI);
  twain.SetMultiImage(o.Multi);
  twain.SetMaxImages(o.Max);
  twain.SetCallbackMode(3);
}

std::string PagePath(const std::string& dir, int page, const char* suffix) {
  char name[32];
  std::snprintf(name, sizeof name, "page-%03d%s", page, suffix);
  return dir + "\\" + name;
}

bool WriteText(const std::string& path, const std::string& text) {
  FILE* file = std::fopen(path.c_str(), "wb");
  if (!file) return false;
  const bool ok = std::fwrite(text.data(), 1, text.size(), file) == text.size();
  return std::fclose(file) == 0 && ok;
}

// Collects the pages as they arrive. The MICR text the session holds during
// a page's event is that of the page before, so each text is written once
// the next page (or the end of the acquisition) has come.
class TPageSink {
 public:
  TPageSink(const TScanOptions& options) : options_(options) {}

  void Page(TluTwain& twain) {
    const TBMPImage* image = twain.CurrentImage();
    if (!image) return;
    if (pages_ > 0) MicrOfPage(pages_, twain.MICRText());
    ++pages_;
    std::printf("page %d: %d x %d, %d bits, %d x %d dpi\n", pages_, image->Width(), image->Height(),
                image->BitsPerPixel(), (image->XPelsPerMeter * 254 + 5000) / 10000,
                (image->YPelsPerMeter * 254 + 5000) / 10000);
    if (!options_.OutDir.empty() && !WriteBmpFile(*image, PagePath(options_.OutDir, pages_, ".bmp"))) {
      std::fprintf(stderr, "pagewell-scan: cannot write %s\n", PagePath(options_.OutDir, pages_, ".bmp").c_str());
      writeFailed_ = true;
    }
  }

  void Finish(TluTwain& twain) {
    if (pages_ > 0) MicrOfPage(pages_, twain.MICRText());
  }

  int Pages() const { return pages_; }
  bool WriteFailed() const { return writeFailed_; }

 private:
  void MicrOfPage(int page, const std::string& text) {
    if (!options_.Micr) return;
    std::printf("page %d MICR: %s\n", page, text.c_str());
    if (!options_.OutDir.empty() && !WriteText(PagePath(options_.OutDir, page, ".micr.txt"), text + "\n"))
      writeFailed_ = true;
  }

  const TScanOptions& options_;
  int pages_ = 0;
  bool writeFailed_ = false;
};

bool WaitForAcquisition(TluTwain& twain, int timeoutSeconds) {
  const ULONGLONG deadline = GetTickCount64() + static_cast<ULONGLONG>(timeoutSeconds) * 1000;
  while (!twain.AcquireDone()) {
    if (GetTickCount64() > deadline) return false;
    MSG message;
    while (PeekMessageA(&message, nullptr, 0, 0, PM_REMOVE)) {
      TranslateMessage(&message);
      DispatchMessageA(&message);
    }
    MsgWaitForMultipleObjects(0, nullptr, FALSE, 50, QS_ALLINPUT);
  }
  return true;
}

int Scan(TluTwain& twain, const TScanOptions& options) {
  twain.OpenSourceIfNeeded();
  if (!twain.SourceOpen()) return Fail(kExitScanFailed, "the device '" + twain.DeviceName(twain.DeviceIndex()) + "' cannot be opened");
  ApplySettings(twain, options);
  TPageSink sink(options);
  twain.OnImage = [&sink](TluTwain& t) { sink.Page(t); };
  if (!options.OutDir.empty()) CreateDirectoryA(options.OutDir.c_str(), nullptr);
  try {
    twain.Acquire();
  } catch (const ETwainError& e) {
    return Fail(kExitScanFailed, e.what());
  }
  if (!WaitForAcquisition(twain, options.TimeoutSeconds)) {
    twain.CloseSource();
    return Fail(kExitScanFailed, "the device did not finish within " + std::to_string(options.TimeoutSeconds) + " s");
  }
  sink.Finish(twain);
  if (sink.Pages() == 0) return Fail(kExitScanFailed, "no page was scanned");
  if (sink.WriteFailed()) return Fail(kExitScanFailed, "not every page could be saved");
  std::printf("%d page%s scanned\n", sink.Pages(), sink.Pages() == 1 ? "" : "s");
  return kExitDone;
}

int Run(const TScanOptions& options) {
  const std::string path = FindDsmPath(true);
  TDsmLibrary library(path);
  if (!library.Loaded()) return Fail(kExitNoDevice, "no TWAIN source manager found (twaindsm.dll or twain_32.dll)");
  TluTwain twain("Orlavex Pagewell", 1, 1, TracingEntry(library.Entry(), options.Trace));
  twain.SetAppProductName("pagewell-scan");
  if (!twain.DSMOpen()) return Fail(kExitNoDevice, "the TWAIN source manager " + path + " did not open");
  if (twain.DeviceCount() == 0) return Fail(kExitNoDevice, "No TWAIN Devices Found");

  if (options.List) {
    for (int i = 0; i < twain.DeviceCount(); ++i) ListDevice(twain, i);
    if (options.Device.empty() && !options.PixelType && !options.Resolution && !options.Multi) return kExitDone;
  }
  try {
    if (options.Device.empty())
      twain.SelectDevice(0);
    else if (!twain.SelectDeviceByName(options.Device) && twain.DeviceName(twain.DeviceIndex()) != options.Device)
      return Fail(kExitNoDevice, "no device named '" + options.Device + "'");
  } catch (const ETwainError& e) {
    return Fail(kExitNoDevice, e.what());
  }
  return Scan(twain, options);
}

}  // namespace

int main(int argc, char** argv) {
  std::setvbuf(stdout, nullptr, _IONBF, 0);
  std::string error;
  const auto options = ParseScanOptions(std::vector<std::string>(argv + 1, argv + argc), error);
  if (!options) {
    std::fprintf(stderr, "pagewell-scan: %s\n%s", error.c_str(), kUsage);
    return kExitUsage;
  }
  if (options->Help) {
    std::fputs(kUsage, stdout);
    return kExitDone;
  }
  return Run(*options);
}
