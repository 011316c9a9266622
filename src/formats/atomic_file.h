#pragma once
// Writes a whole file or nothing: the bytes go to a temporary file in the
// target's folder, which takes the target's name only once it is complete
// and closed. A failure at any point (no space left, the target read-only,
// a folder in the way) leaves the old file as it was and no temporary file
// behind.
#include <cstddef>
#include <cstdint>
#include <filesystem>
#include <stdexcept>
#include <string>

namespace pagewell {

class EFileWriteError : public std::runtime_error {
 public:
  explicit EFileWriteError(const std::string& message) : std::runtime_error(message) {}
};

// Raises EFileWriteError with a message that says what went wrong.
void WriteFileAtomically(const std::filesystem::path& target, const std::uint8_t* bytes, std::size_t count);

}  // namespace pagewell
