// The automation boundary itself: what an exception inside a member becomes.
#include <gtest/gtest.h>

#include <functional>
#include <stdexcept>

#include "com/error_boundary.h"
#include "com_test_support.h"

namespace {

using namespace comtest;

std::wstring lastErrorDescription() {
  ComPtr<IErrorInfo> error;
  if (GetErrorInfo(0, error.put()) != S_OK) return L"<none>";
  Bstr description;
  error->GetDescription(description.put());
  return std::wstring(description.view());
}

TEST(ErrorBoundary, ExceptionsBecomeResultsWithTheirMessage) {
  struct Case {
    std::function<void()> body;
    HRESULT result;
    const wchar_t* description;
  };
  const Case cases[] = {
      {[] { throw std::runtime_error("Scanner not ready"); }, E_UNEXPECTED, L"Scanner not ready"},
      {[] { throw pagewell::ComError(E_ACCESSDENIED, "No access"); }, E_ACCESSDENIED, L"No access"},
      {[] { throw std::bad_alloc(); }, E_OUTOFMEMORY, L"Out of memory"},
      {[] { throw 42; }, E_UNEXPECTED, L"Unexpected failure"},
      {[] { throw std::runtime_error("Gr\xC3\xB6\xC3\x9F" "e"); }, E_UNEXPECTED, L"Gr\x00f6\x00df" L"e"},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(pagewell::guarded(c.body), c.result);
    EXPECT_EQ(lastErrorDescription(), c.description);
  }
}

TEST(ErrorBoundary, StateWrittenBeforeTheFailureStays) {
  int written = 0;
  HRESULT hr = pagewell::guarded([&] {
    written = 7;
    throw std::runtime_error("late failure");
  });
  EXPECT_EQ(hr, E_UNEXPECTED);
  EXPECT_EQ(written, 7);
  long out = 0;
  EXPECT_EQ(pagewell::guardedGet(static_cast<long*>(nullptr), [] { return 1L; }), E_POINTER);
  EXPECT_EQ(pagewell::guardedGet(&out, [] { return 5L; }), S_OK);
  EXPECT_EQ(out, 5);
}

}  // namespace
