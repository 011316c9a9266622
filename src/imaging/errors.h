#pragma once
// Exceptions of the portable core. Inside the system errors are exceptions
// with fixed English messages; the automation boundary turns them into
// failed HRESULTs with the message as error information.
#include <stdexcept>
#include <string>

namespace pagewell {

// Invalid raster requests: sizes below 1 pixel, byte counts that overflow,
// pixel formats the raster cannot hold.
class ERasterError : public std::runtime_error {
 public:
  explicit ERasterError(const std::string& message) : std::runtime_error(message) {}
};

// A file or stream that is not a valid image of the expected kind, or an
// operation a graphic class does not offer.
class EInvalidGraphic : public std::runtime_error {
 public:
  explicit EInvalidGraphic(const std::string& message) : std::runtime_error(message) {}
};

}  // namespace pagewell
