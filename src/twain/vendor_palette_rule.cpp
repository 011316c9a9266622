#include "twain/vendor_palette_rule.h"

#include <algorithm>
#include <cctype>

namespace pagewell {
namespace {

bool StartsWithIgnoringCase(const std::string& text, const std::string& prefix) {
  if (text.size() < prefix.size()) return false;
  return std::equal(prefix.begin(), prefix.end(), text.begin(), [](char a, char b) {
    return std::tolower(static_cast<unsigned char>(a)) == std::tolower(static_cast<unsigned char>(b));
  });
}

}  // namespace

bool ReadsWhiteFirstTableAsBlack(const std::string& productName) {
  return StartsWithIgnoringCase(productName, "xerox") || StartsWithIgnoringCase(productName, "documate") ||
         productName.rfind("AV", 0) == 0 || productName == "HP LaserJet 3150" ||
         StartsWithIgnoringCase(productName, "visioneer") || StartsWithIgnoringCase(productName, "strobe");
}

}  // namespace pagewell
