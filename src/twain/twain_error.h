#pragma once
// ETwainError: an acquisition step that cannot go on. Raised only for a
// device that cannot be found and an enable that fails; capability
// operations answer neutral values instead.
#include <stdexcept>
#include <string>

namespace pagewell {

class ETwainError : public std::runtime_error {
 public:
  explicit ETwainError(const std::string& message) : std::runtime_error(message) {}
};

inline constexpr const char* kCannotFindDevice = "Cannot find Twain device";
inline constexpr const char* kAcquireFailed = "Error during image acquire operation.";

}  // namespace pagewell
