// The scan panel's unit conversion, number texts and page-size filter.
#include "scan_rules.h"

#include <gtest/gtest.h>

#include <cmath>
#include <limits>

#include "page_sizes.h"

namespace pagewell {
namespace {

TEST(ConvertUnits, TableOfConversions) {
  struct Case {
    int from, to;
    double value, expected;
  };
  const Case cases[] = {
      {1, 1, 300, 300},           // same unit: unchanged
      {2, 2, 21.594, 21.59},      // ... but rounded to two decimals
      {2, 1, 300, 118.11},        // 300 dpi shown per cm
      {1, 2, 100, 254},           // 100 per cm sent as dpi
      {1, 2, 8.5, 21.59},         // a length in inches to cm
      {2, 1, 21.59, 8.5},         // and back
      {2, 1, 29.7, 11.69},        // A4 height in inches
      {2, 2, 0.125, 0.13},        // halves round away from zero
      {2, 1, -2.54, -1},          // signs kept
      {1, 7, 3.14159, 3.14},      // unknown unit: rounded only
  };
  for (const Case& c : cases)
    EXPECT_DOUBLE_EQ(ConvertUnits(c.from, c.to, c.value), c.expected) << c.from << "->" << c.to << " " << c.value;
}

TEST(NumberText, ShortestFormWithoutTrailingZeros) {
  struct Case {
    double value;
    const wchar_t* text;
  };
  const Case cases[] = {
      {118.11, L"118.11"}, {300, L"300"},       {0.5, L"0.5"},         {21.59, L"21.59"},
      {0.1 + 0.2, L"0.3"}, {-0.0, L"0"},        {-2.5, L"-2.5"},       {1e20, L"1e+20"},
      {1234567.25, L"1234567.25"},
  };
  for (const Case& c : cases) EXPECT_EQ(numberText(c.value), c.text) << c.value;
}

TEST(ReadNumber, AcceptsPlainDecimalsOnly) {
  struct Case {
    const wchar_t* text;
    bool reads;
    double value;
  };
  const Case cases[] = {
      {L"300", true, 300},        {L" 118.11 ", true, 118.11}, {L"-2.5", true, -2.5},  {L"+7", true, 7},
      {L".5", true, 0.5},         {L"5.", true, 5},            {L"1e3", true, 1000},   {L"2.5E-1", true, 0.25},
      {L"", false, 0},            {L"   ", false, 0},          {L"abc", false, 0},     {L"12abc", false, 0},
      {L"1,5", false, 0},         {L"0x10", false, 0},         {L"inf", false, 0},     {L"nan", false, 0},
      {L"1e", false, 0},          {L".", false, 0},            {L"1e999", false, 0},   {L"--1", false, 0},
      {L"1 2", false, 0},
  };
  for (const Case& c : cases) {
    auto read = readNumber(c.text);
    EXPECT_EQ(read.has_value(), c.reads) << "[" << std::string(c.text, c.text + wcslen(c.text)) << "]";
    if (read && c.reads) {
      EXPECT_DOUBLE_EQ(*read, c.value);
    }
  }
}

std::vector<PageSizeCm> tableSizes() {
  std::vector<PageSizeCm> sizes;
  for (const PageSizeEntry& entry : standardPageSizes()) sizes.push_back({entry.widthCm, entry.heightCm});
  return sizes;
}

TEST(PageSizesWithin, DeviceAreasOfferWhatFits) {
  struct Case {
    const char* what;
    double width, height;
    std::vector<int> offered;
  };
  // A bed reported in centimetres through TWAIN's fixed-point numbers reads
  // a few millionths short.
  const double letterWidthFix = std::floor(21.59 * 65536) / 65536;
  const double letterHeightFix = std::floor(27.94 * 65536) / 65536;
  const Case cases[] = {
      {"letter bed in cm", 21.59, 27.94, {2, 3, 6, 7, 8}},
      {"letter bed as fixed point", letterWidthFix, letterHeightFix, {2, 3, 6, 7, 8}},
      {"letter bed in inches x 2.54", 8.5 * 2.54, 11 * 2.54, {2, 3, 6, 7, 8}},
      {"legal bed", 21.59, 35.56, {0, 2, 3, 5, 6, 7, 8}},
      {"A3 bed", 29.7, 42.0, {0, 1, 2, 3, 5, 6, 7, 8}},
      {"tabloid bed", 27.94, 43.18, {0, 2, 3, 4, 5, 6, 7, 8}},
      {"cheque reader", 15.24, 6.985, {8}},
      {"no area reported", -1, -1, {}},
  };
  const auto sizes = tableSizes();
  for (const Case& c : cases) EXPECT_EQ(pageSizesWithin(sizes, c.width, c.height), c.offered) << c.what;
}

}  // namespace
}  // namespace pagewell
