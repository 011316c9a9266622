#include "convert_options.h"

#include <cerrno>
#include <cmath>
#include <cstdlib>

namespace pagewell::convert {
namespace {

double ParseNumber(const std::string& text, const std::string& option) {
  const char* begin = text.c_str();
  char* end = nullptr;
  errno = 0;
  const double value = std::strtod(begin, &end);
  if (text.empty() || end == begin || *end != '\0' || errno != 0 || !std::isfinite(value)) {
    throw EUsageError(option + ": not a number: \"" + text + "\"");
  }
  return value;
}

int ParseInteger(const std::string& text, const std::string& option, int min, int max) {
  const double value = ParseNumber(text, option);
  if (value != std::floor(value) || value < min || value > max) {
    throw EUsageError(option + ": expected a whole number from " + std::to_string(min) + " to " + std::to_string(max) +
                      ", got \"" + text + "\"");
  }
  return static_cast<int>(value);
}

std::vector<std::string> SplitCommas(const std::string& text) {
  std::vector<std::string> parts;
  std::size_t start = 0;
  for (;;) {
    const std::size_t comma = text.find(',', start);
    parts.push_back(text.substr(start, comma - start));
    if (comma == std::string::npos) return parts;
    start = comma + 1;
  }
}

constexpr int kMaxDpi = 65535;
constexpr int kMaxCoordinate = 1 << 30;

TPageOperation ParseOperation(const std::string& option, const std::string& value) {
  if (option == "--dpi") {
    const auto parts = SplitCommas(value);
    if (parts.size() > 2) throw EUsageError("--dpi: expected N or X,Y");
    const int x = ParseInteger(parts[0], option, 1, kMaxDpi);
    const int y = parts.size() == 2 ? ParseInteger(parts[1], option, 1, kMaxDpi) : x;
    return {TOperationKind::Dpi, {double(x), double(y)}};
  }
  if (option == "--color-mode") return {TOperationKind::ColorMode, {double(ParseInteger(value, option, 0, 6))}};
  // Any angle: the rotation drops whole turns itself (450 turns like 90).
  if (option == "--rotate") return {TOperationKind::Rotate, {ParseNumber(value, option)}};
  if (option == "--flip") {
    if (value != "h" && value != "v") throw EUsageError("--flip: expected h or v");
    return {TOperationKind::Flip, {value == "h" ? 0.0 : 1.0}};
  }
  if (option == "--crop") {
    const auto parts = SplitCommas(value);
    if (parts.size() != 4) throw EUsageError("--crop: expected L,T,R,B");
    std::vector<double> box;
    for (const auto& part : parts) box.push_back(ParseInteger(part, option, -kMaxCoordinate, kMaxCoordinate));
    return {TOperationKind::Crop, box};
  }
  if (option == "--despeckle") return {TOperationKind::Despeckle, {double(ParseInteger(value, option, 1, 9))}};
  throw EUsageError("unknown option " + option);
}

const char* const kFormats[] = {"tif", "pdf", "jpg", "bmp", "gif", "pcx", "png", "wbm", "psd"};

std::string ParseFormat(std::string value) {
  if (!value.empty() && value[0] == '.') value.erase(0, 1);
  for (char& c : value) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
  for (const char* format : kFormats) {
    if (value == format) return value;
  }
  throw EUsageError("--format: expected one of tif, pdf, jpg, bmp, gif, pcx, png, wbm, psd");
}

bool TakesValue(const std::string& option) {
  return option != "--deskew" && option != "--help" && option != "--drop-blank" && option != "--auto-colour";
}

}  // namespace

TConvertOptions ParseConvertOptions(const std::vector<std::string>& args) {
  TConvertOptions options;
  std::vector<std::string> positional;
  for (std::size_t i = 0; i < args.size(); ++i) {
    const std::string& arg = args[i];
    if (arg == "-h" || arg == "--help") {
      options.Help = true;
      return options;
    }
    if (arg.size() < 2 || arg.compare(0, 2, "--") != 0) {
      positional.push_back(arg);
      continue;
    }
    if (arg == "--deskew") {
      options.Operations.push_back({TOperationKind::Deskew, {15}});
      continue;
    }
    if (arg == "--drop-blank" || arg == "--auto-colour") {
      (arg == "--drop-blank" ? options.DropBlank : options.AutoColour) = true;
      continue;
    }
    if (TakesValue(arg) && i + 1 >= args.size()) throw EUsageError(arg + ": missing value");
    const std::string& value = args[++i];
    if (arg == "--format") {
      options.Format = ParseFormat(value);
    } else if (arg == "--quality") {
      options.Quality = ParseInteger(value, arg, 1, 100);
    } else {
      options.Operations.push_back(ParseOperation(arg, value));
    }
  }
  if (positional.size() < 2) throw EUsageError("expected at least one INPUT and the OUTPUT");
  options.Output = positional.back();
  positional.pop_back();
  options.Inputs = positional;
  return options;
}

}  // namespace pagewell::convert
