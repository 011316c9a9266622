#pragma once
// Errors of the JPEG codec and its metadata.
#include <string>

#include "imaging/errors.h"

namespace pagewell {

// A fatal error reported by the JPEG library, carrying the library's
// message code: "JPEG error #<code>".
class EJPEG : public EInvalidGraphic {
 public:
  explicit EJPEG(int code) : EInvalidGraphic("JPEG error #" + std::to_string(code)), code_(code) {}
  int Code() const { return code_; }

 private:
  int code_;
};

// Malformed Exif data: "Error in Exif data", or "Conversion error -
// division by zero." for a rational value whose denominator is 0.
class EExifError : public EInvalidGraphic {
 public:
  EExifError() : EInvalidGraphic("Error in Exif data") {}
  explicit EExifError(const std::string& message) : EInvalidGraphic(message) {}
};

inline EExifError ExifDivisionByZero() { return EExifError("Conversion error - division by zero."); }

}  // namespace pagewell
