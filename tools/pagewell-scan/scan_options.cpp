#include "scan_options.h"

#include <sstream>

#include "bounded_number.h"

namespace pagewell_scan {

const char* const kUsage =
    "usage: pagewell-scan [options]\n"
    "  --list               list the TWAIN devices and their key capabilities\n"
    "  --device NAME        scan with this device (default: the first one)\n"
    "  --pixel-type N       0 black and white, 1 gray, 2 RGB, 3 palette ... (TWAIN pixel types 0-16)\n"
    "  --units N            0 inches, 1 centimetres ... (TWAIN units 0-6)\n"
    "  --resolution R       resolution in dots per unit\n"
    "  --frame L,T,R,B      scan frame in units\n"
    "  --duplex             scan both sides\n"
    "  --multi              scan every page the source has (a batch)\n"
    "  --max N              at most N pages in a batch\n"
    "  --micr               read the MICR line of cheques\n"
    "  --show-ui            show the source's own interface\n"
    "  --out DIR            save each page as DIR/page-NNN.bmp, its MICR text as page-NNN.micr.txt\n"
    "  --timeout S          give up waiting for the source after S seconds (default 120)\n"
    "  --trace              print every TWAIN triplet sent and its answer\n"
    "  --help               this text\n"
    "exit codes: 0 done, 1 scan failed or gave no page, 2 bad command line,\n"
    "            3 no source manager or device not found\n";

namespace {

using pagewell_tools::ParseBoundedInt;
using pagewell_tools::ParseBoundedReal;

bool ToFrame(const std::string& text, std::vector<double>& frame) {
  std::istringstream in(text);
  std::string part;
  std::vector<double> values;
  while (std::getline(in, part, ',')) {
    double v = 0;
    if (!ParseBoundedReal(part, 0, 1000, v)) return false;
    values.push_back(v);
  }
  if (values.size() != 4 || values[2] <= values[0] || values[3] <= values[1]) return false;
  frame = values;
  return true;
}

}  // namespace

std::optional<TScanOptions> ParseScanOptions(const std::vector<std::string>& args, std::string& error) {
  TScanOptions options;
  for (std::size_t i = 0; i < args.size(); ++i) {
    const std::string& arg = args[i];
    auto value = [&](std::string& out) {
      if (i + 1 >= args.size()) return false;
      out = args[++i];
      return true;
    };
    std::string text;
    bool ok = true;
    if (arg == "--help" || arg == "-h") {
      options.Help = true;
    } else if (arg == "--list") {
      options.List = true;
    } else if (arg == "--device") {
      ok = value(options.Device) && !options.Device.empty();
    } else if (arg == "--pixel-type") {
      int v = 0;
      ok = value(text) && ParseBoundedInt(text, 0, 16, v);
      options.PixelType = v;
    } else if (arg == "--units") {
      int v = 0;
      ok = value(text) && ParseBoundedInt(text, 0, 6, v);
      options.Units = v;
    } else if (arg == "--resolution") {
      double v = 0;
      ok = value(text) && ParseBoundedReal(text, 1, 100000, v);
      options.Resolution = v;
    } else if (arg == "--frame") {
      std::vector<double> frame;
      ok = value(text) && ToFrame(text, frame);
      options.Frame = frame;
    } else if (arg == "--duplex") {
      options.Duplex = true;
    } else if (arg == "--multi") {
      options.Multi = true;
    } else if (arg == "--max") {
      ok = value(text) && ParseBoundedInt(text, 0, 1000000, options.Max);
    } else if (arg == "--micr") {
      options.Micr = true;
    } else if (arg == "--show-ui") {
      options.ShowUI = true;
    } else if (arg == "--out") {
      ok = value(options.OutDir) && !options.OutDir.empty();
    } else if (arg == "--timeout") {
      ok = value(text) && ParseBoundedInt(text, 1, 86400, options.TimeoutSeconds);
    } else if (arg == "--trace") {
      options.Trace = true;
    } else {
      error = "unknown option '" + arg + "'";
      return std::nullopt;
    }
    if (!ok) {
      error = "bad or missing value for " + arg;
      return std::nullopt;
    }
  }
  return options;
}

}  // namespace pagewell_scan
