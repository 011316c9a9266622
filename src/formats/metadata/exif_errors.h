#pragma once
// Errors of the Exif record.
#include <string>

#include "imaging/errors.h"

namespace pagewell {

// Malformed Exif data: "Error in Exif data", or "Conversion error -
// division by zero." for a rational value whose denominator is 0.
class EExifError : public EInvalidGraphic {
 public:
  EExifError() : EInvalidGraphic("Error in Exif data") {}
  explicit EExifError(const std::string& message) : EInvalidGraphic(message) {}
};

inline EExifError ExifDivisionByZero() { return EExifError("Conversion error - division by zero."); }

}  // namespace pagewell
