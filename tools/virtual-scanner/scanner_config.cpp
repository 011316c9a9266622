#include "scanner_config.h"

#include <fstream>
#include <functional>
#include <map>
#include <sstream>

#include "bounded_number.h"

#ifdef _WIN32
#include <windows.h>
#endif

namespace virtual_scanner {
namespace {

constexpr std::size_t kMaxConfigBytes = 1 << 20;
constexpr std::size_t kMaxDevices = 32;
constexpr int kMaxPages = 10000;

std::string Trim(const std::string& text) {
  const auto first = text.find_first_not_of(" \t\r");
  if (first == std::string::npos) return {};
  const auto last = text.find_last_not_of(" \t\r");
  return text.substr(first, last - first + 1);
}

using pagewell_tools::ParseBoundedInt;
using pagewell_tools::ParseBoundedReal;

bool ParseBool(const std::string& text, bool& value) {
  if (text == "yes" || text == "true" || text == "1") return value = true, true;
  if (text == "no" || text == "false" || text == "0") return value = false, true;
  return false;
}

template <typename T, typename Parse>
bool ParseList(const std::string& text, std::size_t maxCount, std::vector<T>& values, Parse parse) {
  std::istringstream words(text);
  std::vector<T> parsed;
  std::string word;
  while (words >> word) {
    T v{};
    if (parsed.size() >= maxCount || !parse(word, v)) return false;
    parsed.push_back(v);
  }
  if (parsed.empty()) return false;
  values = parsed;
  return true;
}

std::vector<std::string> SplitBars(const std::string& text) {
  std::vector<std::string> parts;
  std::istringstream in(text);
  std::string part;
  while (std::getline(in, part, '|')) parts.push_back(Trim(part));
  return parts;
}

using Setter = std::function<bool(TDeviceConfig&, const std::string&)>;

Setter Int(int TDeviceConfig::*field, int low, int high) {
  return [=](TDeviceConfig& d, const std::string& v) { return ParseBoundedInt(v, low, high, d.*field); };
}
Setter Bool(bool TDeviceConfig::*field) {
  return [=](TDeviceConfig& d, const std::string& v) { return ParseBool(v, d.*field); };
}
Setter Real(double TDeviceConfig::*field, double low, double high) {
  return [=](TDeviceConfig& d, const std::string& v) { return ParseBoundedReal(v, low, high, d.*field); };
}
Setter Text(std::string TDeviceConfig::*field) {
  return [=](TDeviceConfig& d, const std::string& v) {
    if (v.size() > 32) return false;  // a TWAIN string holds 32 characters
    d.*field = v;
    return true;
  };
}
Setter Choice(bool TDeviceConfig::*field, const char* whenTrue, const char* whenFalse) {
  return [=](TDeviceConfig& d, const std::string& v) {
    if (v != whenTrue && v != whenFalse) return false;
    d.*field = v == whenTrue;
    return true;
  };
}

const std::map<std::string, Setter>& Setters() {
  static const std::map<std::string, Setter> setters = {
      {"name", Text(&TDeviceConfig::Name)},
      {"manufacturer", Text(&TDeviceConfig::Manufacturer)},
      {"pixel_types", [](TDeviceConfig& d, const std::string& v) {
         return ParseList(v, 13, d.PixelTypes, [](const std::string& w, int& x) { return ParseBoundedInt(w, 0, 16, x); });
       }},
      {"pixel_type", Int(&TDeviceConfig::PixelType, 0, 16)},
      {"pixel_type_container", Choice(&TDeviceConfig::PixelTypeAsOneValue, "onevalue", "enumeration")},
      {"pixel_type_settable", Bool(&TDeviceConfig::PixelTypeSettable)},
      {"querysupport_type", Choice(&TDeviceConfig::QuerySupportUInt16, "uint16", "int32")},
      {"querysupport_set", Bool(&TDeviceConfig::QuerySupportSet)},
      {"units", [](TDeviceConfig& d, const std::string& v) {
         return ParseList(v, 2, d.Units, [](const std::string& w, int& x) { return ParseBoundedInt(w, 0, 1, x); });
       }},
      {"unit", Int(&TDeviceConfig::Unit, 0, 1)},
      {"units_container", Choice(&TDeviceConfig::UnitsAsOneValue, "onevalue", "enumeration")},
      {"resolutions", [](TDeviceConfig& d, const std::string& v) {
         d.ResolutionRange = false;
         return ParseList(v, 200, d.Resolutions, [](const std::string& w, double& x) { return ParseBoundedReal(w, 1, 4800, x); });
       }},
      {"resolution_range", [](TDeviceConfig& d, const std::string& v) {
         std::vector<double> r;
         if (!ParseList(v, 3, r, [](const std::string& w, double& x) { return ParseBoundedReal(w, 1, 4800, x); }) ||
             r.size() != 3 || r[1] < r[0] || r[2] <= 0)
           return false;
         d.Resolutions = r;
         d.ResolutionRange = true;
         return true;
       }},
      {"resolution", Real(&TDeviceConfig::Resolution, 1, 4800)},
      {"physical_width", Real(&TDeviceConfig::PhysicalWidth, 0.1, 100)},
      {"physical_height", Real(&TDeviceConfig::PhysicalHeight, 0.1, 100)},
      {"frame", [](TDeviceConfig& d, const std::string& v) {
         std::vector<double> f;
         if (!ParseList(v, 4, f, [](const std::string& w, double& x) { return ParseBoundedReal(w, 0, 100, x); }) ||
             f.size() != 4 || f[2] <= f[0] || f[3] <= f[1])
           return false;
         for (int i = 0; i < 4; ++i) d.Frame[i] = f[i];
         return true;
       }},
      {"duplex", Int(&TDeviceConfig::Duplex, 0, 2)},
      {"duplex_enabled", Bool(&TDeviceConfig::DuplexEnabled)},
      {"feeder", Bool(&TDeviceConfig::Feeder)},
      {"auto_feed", Bool(&TDeviceConfig::AutoFeed)},
      {"auto_page_size", Bool(&TDeviceConfig::AutoPageSize)},
      {"ui_controllable", Bool(&TDeviceConfig::UIControllable)},
      {"device_online", Bool(&TDeviceConfig::DeviceOnline)},
      {"online_after", Int(&TDeviceConfig::OnlineAfter, 0, 1000)},
      {"indicators", Bool(&TDeviceConfig::Indicators)},
      {"pixel_flavor", Int(&TDeviceConfig::PixelFlavor, 0, 1)},
      {"micr", Bool(&TDeviceConfig::Micr)},
      {"micr_texts", [](TDeviceConfig& d, const std::string& v) {
         d.MicrTexts = SplitBars(v);
         for (const auto& t : d.MicrTexts)
           if (t.size() > 32) return false;
         return true;
       }},
      {"extimageinfo", Bool(&TDeviceConfig::ExtImageInfo)},
      {"pages", Int(&TDeviceConfig::Pages, 0, kMaxPages)},
      {"page", [](TDeviceConfig& d, const std::string& v) { return ParsePageContent(v, d.DefaultPage); }},
      {"dib_bits", Int(&TDeviceConfig::DibBits, 0, 64)},
      {"white_first", Bool(&TDeviceConfig::WhiteFirst)},
      {"zero_resolution", Bool(&TDeviceConfig::ZeroResolution)},
      {"top_down", Bool(&TDeviceConfig::TopDown)},
      {"fail_opends", Bool(&TDeviceConfig::FailOpen)},
      {"enableds", [](TDeviceConfig& d, const std::string& v) {
         if (v != "ok" && v != "fail" && v != "cancel") return false;
         d.Enable = v;
         return true;
       }},
      {"cancel_at_page", Int(&TDeviceConfig::CancelAtPage, 0, kMaxPages)},
      {"fail_at_page", Int(&TDeviceConfig::FailAtPage, 0, kMaxPages)},
      {"offline_at_page", Int(&TDeviceConfig::OfflineAtPage, 0, kMaxPages)},
      {"closedsreq_at_page", Int(&TDeviceConfig::CloseRequestAtPage, 0, kMaxPages)},
      {"short_dib_at_page", Int(&TDeviceConfig::ShortDibAtPage, 0, kMaxPages)},
      {"large_page", Int(&TDeviceConfig::LargePageAt, 0, kMaxPages)},
  };
  return setters;
}

// "page3 = ..." sets the content of page 3.
bool SetPage(TDeviceConfig& device, const std::string& key, const std::string& value) {
  int page = 0;
  TPageContent content;
  if (!ParseBoundedInt(key.substr(4), 1, kMaxPages, page) || !ParsePageContent(value, content)) return false;
  device.PageContents.emplace_back(page, content);
  return true;
}

// The variable is read through the process environment, which the
// application and the source share whatever C runtime each was built with.
std::string ConfigPath() {
#ifdef _WIN32
  char path[1024];
  const DWORD length = GetEnvironmentVariableA(kConfigVariable, path, sizeof path);
  return length > 0 && length < sizeof path ? std::string(path, length) : std::string();
#else
  const char* path = std::getenv(kConfigVariable);
  return path ? path : "";
#endif
}

}  // namespace

const TPageContent& TDeviceConfig::ContentOf(int page) const {
  for (auto it = PageContents.rbegin(); it != PageContents.rend(); ++it)
    if (it->first == page) return it->second;
  return DefaultPage;
}

TScannerConfig ParseScannerConfig(const std::string& text) {
  TScannerConfig config;
  std::istringstream lines(text);
  std::string line;
  int number = 0;
  auto fail = [&config, &number](const std::string& why) {
    config.Devices.clear();
    config.Error = "line " + std::to_string(number) + ": " + why;
    return config;
  };
  while (std::getline(lines, line)) {
    ++number;
    const auto comment = line.find('#');
    if (comment != std::string::npos) line.erase(comment);
    line = Trim(line);
    if (line.empty()) continue;
    if (line == "[device]") {
      if (config.Devices.size() >= kMaxDevices) return fail("too many devices");
      config.Devices.emplace_back();
      continue;
    }
    const auto equals = line.find('=');
    if (equals == std::string::npos) return fail("expected key = value");
    if (config.Devices.empty()) return fail("a setting before the first [device]");
    const std::string key = Trim(line.substr(0, equals));
    const std::string value = Trim(line.substr(equals + 1));
    TDeviceConfig& device = config.Devices.back();
    const auto setter = Setters().find(key);
    const bool ok = setter != Setters().end() ? setter->second(device, value)
                    : key.rfind("page", 0) == 0 && key.size() > 4 ? SetPage(device, key, value)
                                                                   : false;
    if (!ok) return fail("bad setting '" + key + "'");
  }
  if (config.Devices.empty()) return fail("no [device]");
  return config;
}

TScannerConfig DefaultScannerConfig() {
  TScannerConfig config;
  TDeviceConfig flatbed;
  flatbed.Name = "Pagewell Virtual Flatbed";
  config.Devices.push_back(flatbed);

  TDeviceConfig feeder;
  feeder.Name = "Pagewell Virtual Feeder";
  feeder.Feeder = feeder.AutoFeed = true;
  feeder.Duplex = 1;
  feeder.Pages = 3;
  feeder.PixelTypes = {0, 1, 2, 3};
  feeder.PixelType = 0;
  feeder.ResolutionRange = true;
  feeder.Resolutions = {50, 600, 50};
  feeder.Resolution = 200;
  feeder.AutoPageSize = true;
  feeder.DefaultPage.SkewDegrees = 2;
  feeder.DefaultPage.Specks = 30;
  config.Devices.push_back(feeder);

  TDeviceConfig cheque;
  cheque.Name = "Pagewell Virtual Cheque";
  cheque.PixelTypes = {1};
  cheque.PixelType = 1;
  cheque.Micr = cheque.ExtImageInfo = true;
  cheque.Pages = 2;
  cheque.MicrTexts = {"c000123c a111222a 4567d", "c000124c a111222a 89d"};
  cheque.Frame[2] = 6.0;
  cheque.Frame[3] = 2.75;
  cheque.DefaultPage.Text = false;
  cheque.DefaultPage.Cheque = true;
  config.Devices.push_back(cheque);
  return config;
}

TScannerConfig LoadScannerConfig() {
  const std::string path = ConfigPath();
  if (path.empty()) return DefaultScannerConfig();
  std::ifstream file(path, std::ios::binary);
  if (!file) {
    TScannerConfig fallback = DefaultScannerConfig();
    fallback.Error = "cannot read " + path;
    return fallback;
  }
  std::string text(kMaxConfigBytes + 1, '\0');
  file.read(&text[0], static_cast<std::streamsize>(text.size()));
  text.resize(static_cast<std::size_t>(file.gcount()));
  TScannerConfig config = text.size() > kMaxConfigBytes ? TScannerConfig{{}, "file too large"} : ParseScannerConfig(text);
  if (config.Devices.empty()) {
    const std::string error = config.Error;
    config = DefaultScannerConfig();
    config.Error = error;
  }
  return config;
}

}  // namespace virtual_scanner
