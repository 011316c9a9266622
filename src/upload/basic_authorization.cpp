#include "upload/basic_authorization.h"

#include <cctype>
#include <cstdint>

namespace pagewell {
namespace {

std::string base64(const std::string& bytes) {
  static const char kDigits[] = "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789+/";
  std::string text;
  for (std::size_t i = 0; i < bytes.size(); i += 3) {
    const std::size_t left = bytes.size() - i;
    std::uint32_t group = static_cast<std::uint8_t>(bytes[i]) << 16;
    if (left > 1) group |= static_cast<std::uint8_t>(bytes[i + 1]) << 8;
    if (left > 2) group |= static_cast<std::uint8_t>(bytes[i + 2]);
    text += kDigits[group >> 18 & 63];
    text += kDigits[group >> 12 & 63];
    text += left > 1 ? kDigits[group >> 6 & 63] : '=';
    text += left > 2 ? kDigits[group & 63] : '=';
  }
  return text;
}

}  // namespace

std::string BasicAuthorizationHeader(const std::string& user, const std::string& password) {
  return "Authorization: Basic " + base64(user + ":" + password);
}

bool IsBasicChallenge(const std::string& challenge) {
  std::size_t start = challenge.find_first_not_of(" \t");
  if (start == std::string::npos || challenge.size() - start < 5) return false;
  std::string scheme;
  for (std::size_t i = start; i < challenge.size() && !std::isspace(static_cast<unsigned char>(challenge[i])); ++i)
    scheme += static_cast<char>(std::tolower(static_cast<unsigned char>(challenge[i])));
  return scheme == "basic";
}

}  // namespace pagewell
