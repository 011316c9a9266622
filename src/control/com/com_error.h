#pragma once
// The exception that crosses nothing: every interface member catches it at
// the automation boundary and turns it into its HRESULT plus error info.
#include <winerror.h>
#include <stdexcept>
#include <string>

namespace pagewell {

class ComError : public std::runtime_error {
 public:
  // A failure never travels as a success code (GetLastError may say 0).
  ComError(HRESULT code, const std::string& message)
      : std::runtime_error(message), code_(SUCCEEDED(code) ? E_FAIL : code) {}
  HRESULT code() const { return code_; }

 private:
  HRESULT code_;
};

// A member whose behaviour lives in a part of the control that is not built
// yet: it fails honestly rather than inventing a value.
[[noreturn]] inline void notImplemented(const char* member) {
  throw ComError(E_NOTIMPL, std::string(member) + " is not available in this build");
}

}  // namespace pagewell
