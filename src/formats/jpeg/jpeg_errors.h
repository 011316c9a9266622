#pragma once
// Errors of the JPEG codec and its metadata.
#include <string>

#include "formats/metadata/exif_errors.h"
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

}  // namespace pagewell
