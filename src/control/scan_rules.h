#pragma once
// The scan panel's pure rules: unit conversion, how numbers are written and
// read in its boxes, and which page sizes a device's area can hold. No
// window is involved, so they are tested on their own.
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace pagewell {

// Unit codes of the panel: item index of the unit lists + 1.
constexpr int kUnitInch = 1;
constexpr int kUnitCentimetre = 2;

// From unit a to unit b (a length), or from dots per b to dots per a (a
// resolution), rounded to two decimals. Unknown codes leave the value as it
// is, rounded.
double ConvertUnits(int a, int b, double value);

// A real as the boxes show it: the shortest form, no trailing zeros
// ("118.11", "300", "0.5").
std::wstring numberText(double value);

// The number a box holds: optional spaces around a decimal number with an
// optional sign, fraction and exponent. Anything else, and anything that is
// not finite, reads as nothing.
std::optional<double> readNumber(std::wstring_view text);

// Indices of the page sizes (their centimetres in `sizesCm`, width then
// height) that fit a device area of widthCm x heightCm, in table order.
struct PageSizeCm {
  double width;
  double height;
};
std::vector<int> pageSizesWithin(const std::vector<PageSizeCm>& sizesCm, double widthCm, double heightCm);

}  // namespace pagewell
