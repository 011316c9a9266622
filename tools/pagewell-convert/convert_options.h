#pragma once
// The command line of pagewell-convert: page operations in the order given,
// the output options, the inputs and the output.
#include <optional>
#include <stdexcept>
#include <string>
#include <vector>

namespace pagewell::convert {

// A command line that does not follow the contract: exit code 1.
class EUsageError : public std::runtime_error {
 public:
  explicit EUsageError(const std::string& message) : std::runtime_error(message) {}
};

enum class TOperationKind { Dpi, ColorMode, Rotate, Flip, Crop, Deskew, Despeckle };

struct TPageOperation {
  TOperationKind Kind;
  std::vector<double> Values;  // dpi x, y; mode; degrees; 0 h / 1 v; l, t, r, b; strength
};

struct TConvertOptions {
  bool Help = false;
  std::vector<TPageOperation> Operations;
  std::optional<std::string> Format;  // an extension such as "tif", from --format
  int Quality = 90;
  bool DropBlank = false;   // --drop-blank: leave blank pages out
  bool AutoColour = false;  // --auto-colour: automatic colour, level 2
  std::vector<std::string> Inputs;
  std::string Output;
};

// Raises EUsageError with a message that names the offending argument.
TConvertOptions ParseConvertOptions(const std::vector<std::string>& args);

}  // namespace pagewell::convert
