#pragma once
// The automation boundary: every interface member runs its body through
// guarded(), so no C++ exception ever unwinds into the caller. A failure
// becomes an HRESULT with the exception's message as error information;
// whatever the member changed before it failed stays changed.
#include <windows.h>

#include <exception>
#include <new>
#include <string>

#include "com/com_error.h"

namespace pagewell {

// Publishes `message` (UTF-8) as the thread's error information for ITwainForm.
void setErrorInfo(const std::string& message);

template <class Body>
HRESULT guarded(Body&& body) noexcept {
  try {
    body();
    return S_OK;
  } catch (const ComError& e) {
    setErrorInfo(e.what());
    return e.code();
  } catch (const std::bad_alloc&) {
    setErrorInfo("Out of memory");
    return E_OUTOFMEMORY;
  } catch (const std::exception& e) {
    setErrorInfo(e.what());
    return E_UNEXPECTED;
  } catch (...) {
    setErrorInfo("Unexpected failure");
    return E_UNEXPECTED;
  }
}

// For readers: checks the out-parameter before the body runs.
template <class T, class Body>
HRESULT guardedGet(T* out, Body&& body) noexcept {
  if (!out) return E_POINTER;
  return guarded([&] { *out = body(); });
}

}  // namespace pagewell
