#pragma once
#include <stdexcept>
#include <string>

namespace pagewell {

// Raised by the GIF classes: an image that cannot be written (no image, a
// pixel index outside the colour map, a size GIF cannot express).
class GIFException : public std::runtime_error {
 public:
  explicit GIFException(const std::string& message) : std::runtime_error(message) {}
};

}  // namespace pagewell
