#include "origin/ip_address.h"

#include <array>
#include <cstdint>
#include <vector>

namespace pagewell {
namespace {

bool isDigit(char c) { return c >= '0' && c <= '9'; }

int hexValue(char c) {
  if (isDigit(c)) return c - '0';
  if (c >= 'a' && c <= 'f') return c - 'a' + 10;
  if (c >= 'A' && c <= 'F') return c - 'A' + 10;
  return -1;
}

// "0" to "255", no sign, no leading zero.
std::optional<std::uint8_t> ipv4Part(std::string_view text) {
  if (text.empty() || text.size() > 3 || (text.size() > 1 && text[0] == '0')) return std::nullopt;
  unsigned value = 0;
  for (char c : text) {
    if (!isDigit(c)) return std::nullopt;
    value = value * 10 + unsigned(c - '0');
  }
  if (value > 255) return std::nullopt;
  return static_cast<std::uint8_t>(value);
}

std::optional<std::array<std::uint8_t, 4>> ipv4Bytes(std::string_view text) {
  std::array<std::uint8_t, 4> bytes{};
  for (size_t i = 0; i < bytes.size(); ++i) {
    size_t dot = text.find('.');
    bool last = i + 1 == bytes.size();
    if (last != (dot == std::string_view::npos)) return std::nullopt;
    std::optional<std::uint8_t> part = ipv4Part(text.substr(0, dot));
    if (!part) return std::nullopt;
    bytes[i] = *part;
    text.remove_prefix(last ? text.size() : dot + 1);
  }
  return bytes;
}

// One to four hexadecimal digits.
std::optional<std::uint16_t> ipv6Group(std::string_view text) {
  if (text.empty() || text.size() > 4) return std::nullopt;
  unsigned value = 0;
  for (char c : text) {
    int digit = hexValue(c);
    if (digit < 0) return std::nullopt;
    value = value * 16 + unsigned(digit);
  }
  return static_cast<std::uint16_t>(value);
}

// The groups of one side of "::" ("1:2:3"), appended to `groups`; the last
// one may be an IPv4 address, which stands for two groups. An empty side
// has no groups.
bool appendIpv6Groups(std::string_view side, std::vector<std::uint16_t>& groups) {
  while (!side.empty()) {
    size_t colon = side.find(':');
    std::string_view piece = side.substr(0, colon);
    bool last = colon == std::string_view::npos;
    if (last && piece.find('.') != std::string_view::npos) {
      std::optional<std::array<std::uint8_t, 4>> bytes = ipv4Bytes(piece);
      if (!bytes) return false;
      groups.push_back(static_cast<std::uint16_t>((*bytes)[0] << 8 | (*bytes)[1]));
      groups.push_back(static_cast<std::uint16_t>((*bytes)[2] << 8 | (*bytes)[3]));
      return true;
    }
    std::optional<std::uint16_t> group = ipv6Group(piece);
    if (!group) return false;
    groups.push_back(*group);
    if (last) return true;
    side.remove_prefix(colon + 1);
    if (side.empty()) return false;  // a single trailing ':'
  }
  return true;
}

std::optional<std::array<std::uint16_t, 8>> ipv6Groups(std::string_view text) {
  size_t gap = text.find("::");
  std::vector<std::uint16_t> before, after;
  if (gap == std::string_view::npos) {
    if (!appendIpv6Groups(text, before) || before.size() != 8) return std::nullopt;
  } else {
    std::string_view tail = text.substr(gap + 2);
    if (tail.find("::") != std::string_view::npos) return std::nullopt;
    if (!appendIpv6Groups(text.substr(0, gap), before) || !appendIpv6Groups(tail, after)) return std::nullopt;
    // "::" stands for at least one zero group.
    if (before.size() + after.size() > 7) return std::nullopt;
  }
  std::array<std::uint16_t, 8> groups{};
  std::copy(before.begin(), before.end(), groups.begin());
  std::copy(after.begin(), after.end(), groups.end() - after.size());
  return groups;
}

// Where the first longest run of two or more zero groups starts and how
// long it is; a length of 0 when there is none.
std::pair<size_t, size_t> longestZeroRun(const std::array<std::uint16_t, 8>& groups) {
  size_t bestStart = 0, bestLength = 0;
  for (size_t i = 0; i < groups.size();) {
    size_t length = 0;
    while (i + length < groups.size() && groups[i + length] == 0) ++length;
    if (length > bestLength && length >= 2) bestStart = i, bestLength = length;
    i += length ? length : 1;
  }
  return {bestStart, bestLength};
}

std::string hexText(std::uint16_t value) {
  static const char kDigits[] = "0123456789abcdef";
  std::string text;
  for (int shift = 12; shift >= 0; shift -= 4) {
    int digit = (value >> shift) & 0xF;
    if (digit || !text.empty() || shift == 0) text += kDigits[digit];
  }
  return text;
}

}  // namespace

std::optional<std::string> canonicalIpv4(std::string_view text) {
  if (!ipv4Bytes(text)) return std::nullopt;
  return std::string(text);
}

std::optional<std::string> canonicalIpv6(std::string_view text) {
  std::optional<std::array<std::uint16_t, 8>> groups = ipv6Groups(text);
  if (!groups) return std::nullopt;
  auto [runStart, runLength] = longestZeroRun(*groups);
  std::string canonical;
  for (size_t i = 0; i < groups->size(); ++i) {
    if (runLength && i == runStart) {
      canonical += "::";
      i += runLength - 1;
      continue;
    }
    if (!canonical.empty() && canonical.back() != ':') canonical += ':';
    canonical += hexText((*groups)[i]);
  }
  return canonical;
}

}  // namespace pagewell
