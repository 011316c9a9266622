#pragma once
// The command line of pagewell-scan.
#include <optional>
#include <string>
#include <vector>

namespace pagewell_scan {

struct TScanOptions {
  bool Help = false;
  bool List = false;
  std::string Device;  // empty: the first device
  std::optional<int> PixelType;
  std::optional<int> Units;
  std::optional<double> Resolution;
  std::optional<std::vector<double>> Frame;  // left, top, right, bottom
  bool Duplex = false;
  bool Multi = false;
  int Max = 0;
  bool Micr = false;
  bool ShowUI = false;
  std::string OutDir;
  bool Trace = false;
  int TimeoutSeconds = 120;
};

// Parses the arguments after the program name; on an error the message
// says which argument was wrong and the result is empty.
std::optional<TScanOptions> ParseScanOptions(const std::vector<std::string>& args, std::string& error);

extern const char* const kUsage;

}  // namespace pagewell_scan
