#include "scan_rules.h"

#include <charconv>
#include <cmath>

namespace pagewell {
namespace {

constexpr double kCentimetresPerInch = 2.54;

// Devices report lengths as TWAIN fixed-point numbers (sixteen bits of
// fraction), so a Letter-sized bed reported in centimetres reads a few
// millionths short of 21.59. Sizes within a thousandth of a centimetre
// still fit.
constexpr double kSizeToleranceCm = 0.001;

}  // namespace

double ConvertUnits(int a, int b, double value) {
  double converted = value;
  if (a == kUnitCentimetre && b == kUnitInch) converted = value / kCentimetresPerInch;
  if (a == kUnitInch && b == kUnitCentimetre) converted = value * kCentimetresPerInch;
  return std::round(converted * 100.0) / 100.0;
}

// Fifteen significant digits are as many as a double keeps exactly, so the
// shortest text that reads back as the value never shows binary noise. The
// conversion ignores the C locale, which a host process may have changed.
std::wstring numberText(double value) {
  if (value == 0) value = 0;  // no "-0"
  char text[40];
  auto written = std::to_chars(text, text + sizeof text, value, std::chars_format::general, 15);
  return std::wstring(text, written.ptr);
}

std::optional<double> readNumber(std::wstring_view text) {
  auto isSpace = [](wchar_t c) { return c == L' ' || c == L'\t'; };
  while (!text.empty() && isSpace(text.front())) text.remove_prefix(1);
  while (!text.empty() && isSpace(text.back())) text.remove_suffix(1);
  // Only the characters of a plain decimal number, whatever the locale; the
  // C library's readers would also take hexadecimal, "inf" and "nan".
  std::string narrow;
  size_t i = 0;
  auto digits = [&] {
    size_t start = i;
    while (i < text.size() && text[i] >= L'0' && text[i] <= L'9') narrow += static_cast<char>(text[i++]);
    return i - start;
  };
  auto sign = [&] {
    if (i < text.size() && (text[i] == L'+' || text[i] == L'-')) narrow += static_cast<char>(text[i++]);
  };
  sign();
  size_t mantissa = digits();
  if (i < text.size() && text[i] == L'.') {
    narrow += '.';
    ++i;
    mantissa += digits();
  }
  if (mantissa == 0) return std::nullopt;
  if (i < text.size() && (text[i] == L'e' || text[i] == L'E')) {
    narrow += 'e';
    ++i;
    sign();
    if (digits() == 0) return std::nullopt;
  }
  if (i != text.size()) return std::nullopt;
  const char* first = narrow.c_str();
  if (*first == '+') ++first;  // from_chars takes no plus sign
  double value = 0;
  auto read = std::from_chars(first, narrow.c_str() + narrow.size(), value);
  if (read.ec != std::errc() || read.ptr != narrow.c_str() + narrow.size() || !std::isfinite(value))
    return std::nullopt;
  return value;
}

std::vector<int> pageSizesWithin(const std::vector<PageSizeCm>& sizesCm, double widthCm, double heightCm) {
  std::vector<int> fitting;
  for (size_t i = 0; i < sizesCm.size(); ++i)
    if (sizesCm[i].width <= widthCm + kSizeToleranceCm && sizesCm[i].height <= heightCm + kSizeToleranceCm)
      fitting.push_back(static_cast<int>(i));
  return fitting;
}

}  // namespace pagewell
