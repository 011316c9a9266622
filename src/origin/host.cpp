#include "origin/host.h"

#include "origin/ip_address.h"

namespace pagewell {
namespace {

constexpr size_t kLongestName = 253;
constexpr size_t kLongestLabel = 63;

bool isNameChar(char c) {
  return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9') || c == '-' || c == '_';
}

bool isAllDigits(std::string_view text) {
  if (text.empty()) return false;
  for (char c : text)
    if (c < '0' || c > '9') return false;
  return true;
}

std::string_view lastLabel(std::string_view host) { return host.substr(host.rfind('.') + 1); }

// The URL standard reads a host whose last label is a number (decimal, or
// hexadecimal after "0x") as an IPv4 address, whatever the other labels are.
bool endsInNumber(std::string_view host) {
  std::string_view last = lastLabel(host);
  if (isAllDigits(last)) return true;
  return last.size() >= 2 && last[0] == '0' && (last[1] == 'x' || last[1] == 'X');
}

std::string lowerCase(std::string_view text) {
  std::string lower(text);
  for (char& c : lower)
    if (c >= 'A' && c <= 'Z') c = static_cast<char>(c - 'A' + 'a');
  return lower;
}

// Why `text` is not a domain name as parseHost defines it, or nothing.
std::string nameFault(std::string_view text) {
  if (text.size() > kLongestName) return "the host name is longer than 253 characters";
  size_t labelLength = 0;
  for (char c : text) {
    if (static_cast<unsigned char>(c) >= 0x80)
      return "the host name is not ASCII: write internationalised names in their xn-- form, as browsers send them";
    if (c == '.') {
      if (labelLength == 0) return "the host name has an empty label (two dots, or a dot at either end)";
      labelLength = 0;
    } else if (!isNameChar(c)) {
      return std::string("the host holds '") + c + "', which no host name may";
    } else if (++labelLength > kLongestLabel) {
      return "a label of the host name is longer than 63 characters";
    }
  }
  if (labelLength == 0) return "the host name has an empty label (two dots, or a dot at either end)";
  return {};
}

Parsed<std::string> parseIpv6Literal(std::string_view text) {
  if (text.size() < 2 || text.back() != ']')
    return Parsed<std::string>::failure("an IPv6 address must be closed with ']'");
  std::optional<std::string> address = canonicalIpv6(text.substr(1, text.size() - 2));
  if (!address) return Parsed<std::string>::failure("the host is not an IPv6 address");
  return Parsed<std::string>::success("[" + *address + "]");
}

}  // namespace

Parsed<std::string> parseDomainName(std::string_view text) {
  if (text.empty()) return Parsed<std::string>::failure("the host is missing");
  if (std::string fault = nameFault(text); !fault.empty()) return Parsed<std::string>::failure(fault);
  if (endsInNumber(text)) return Parsed<std::string>::failure("an IP address is not a domain name");
  return Parsed<std::string>::success(lowerCase(text));
}

Parsed<std::string> parseHost(std::string_view text) {
  if (text.empty()) return Parsed<std::string>::failure("the host is missing");
  if (text.front() == '[') return parseIpv6Literal(text);
  if (std::string fault = nameFault(text); !fault.empty()) return Parsed<std::string>::failure(fault);
  if (!endsInNumber(text)) return Parsed<std::string>::success(lowerCase(text));
  std::optional<std::string> address = canonicalIpv4(text);
  if (!address)
    return Parsed<std::string>::failure("the host ends in a number but is not an IPv4 address written as four "
                                        "numbers 0 to 255 without leading zeros");
  return Parsed<std::string>::success(*address);
}

bool isIpAddress(std::string_view host) { return !host.empty() && (host.front() == '[' || endsInNumber(host)); }

}  // namespace pagewell
