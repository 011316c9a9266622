#include "zone_identifier.h"

#include <algorithm>

namespace pagewell {
namespace {

// A line break or a control character would end the HostUrl line early and
// let the rest of the address pose as keys of its own.
bool fitsOneLine(std::string_view address) {
  return std::none_of(address.begin(), address.end(),
                      [](char c) { return static_cast<unsigned char>(c) < 0x20 || c == 0x7f; });
}

}  // namespace

std::string ZoneIdentifierText(std::string_view pageAddress) {
  std::string text = "[ZoneTransfer]\r\nZoneId=3\r\n";
  if (!pageAddress.empty() && fitsOneLine(pageAddress)) text += "HostUrl=" + std::string(pageAddress) + "\r\n";
  return text;
}

}  // namespace pagewell
