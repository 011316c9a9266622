#pragma once
// Writes a whole file or nothing: the bytes go to a temporary file beside
// the target, which then takes the target's name.
#include <cstdint>
#include <string>
#include <vector>

namespace pagewell::convert {

// Raises std::runtime_error (and leaves no file behind) on failure.
void WriteFileAtomically(const std::string& path, const std::vector<std::uint8_t>& bytes);

}  // namespace pagewell::convert
