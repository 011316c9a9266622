#include "upload/windows/crack_url.h"

#include <windows.h>
#include <wininet.h>

#include <vector>

namespace pagewell {
namespace {

// Buffer sizes in bytes, terminating zero included.
constexpr DWORD kSchemeSize = 33;
constexpr DWORD kHostSize = 257;
constexpr DWORD kUserSize = 129;
constexpr DWORD kPasswordSize = 129;
constexpr DWORD kPathSize = 2049;
constexpr DWORD kExtraSize = 2049;

// The splitter keeps only the low 16 bits of a port number it reads, so
// "http://host:65616/" would quietly mean port 80. Such a URL names no port
// that exists: it does not split.
bool portInRange(const std::string& url) {
  const std::size_t schemeEnd = url.find("://");
  const std::size_t hostStart = schemeEnd == std::string::npos ? 0 : schemeEnd + 3;
  const std::size_t hostEnd = url.find_first_of("/?#", hostStart);
  const std::string authority = url.substr(hostStart, hostEnd == std::string::npos ? std::string::npos : hostEnd - hostStart);
  const std::size_t at = authority.rfind('@');
  const std::string hostPort = at == std::string::npos ? authority : authority.substr(at + 1);
  const std::size_t colon = hostPort.rfind(':');
  if (colon == std::string::npos || hostPort.find(']', colon) != std::string::npos) return true;
  unsigned long port = 0;
  for (std::size_t i = colon + 1; i < hostPort.size(); ++i) {
    if (hostPort[i] < '0' || hostPort[i] > '9') return true;  // the splitter's to judge
    port = port * 10 + static_cast<unsigned long>(hostPort[i] - '0');
    if (port > 65535) return false;
  }
  return true;
}

}  // namespace

bool CrackURL(const std::string& url, UrlParts& parts) {
  const std::string full = url.find("://") == std::string::npos ? "http://" + url : url;
  if (!portInRange(full)) return false;
  std::vector<char> scheme(kSchemeSize), host(kHostSize), user(kUserSize), password(kPasswordSize),
      path(kPathSize), extra(kExtraSize);
  URL_COMPONENTSA components{};
  components.dwStructSize = sizeof components;
  components.lpszScheme = scheme.data();
  components.dwSchemeLength = kSchemeSize;
  components.lpszHostName = host.data();
  components.dwHostNameLength = kHostSize;
  components.lpszUserName = user.data();
  components.dwUserNameLength = kUserSize;
  components.lpszPassword = password.data();
  components.dwPasswordLength = kPasswordSize;
  components.lpszUrlPath = path.data();
  components.dwUrlPathLength = kPathSize;
  components.lpszExtraInfo = extra.data();
  components.dwExtraInfoLength = kExtraSize;
  if (!InternetCrackUrlA(full.c_str(), 0, ICU_ESCAPE, &components)) return false;
  parts.scheme.assign(scheme.data(), components.dwSchemeLength);
  parts.host.assign(host.data(), components.dwHostNameLength);
  parts.port = components.nPort;
  parts.path.assign(path.data(), components.dwUrlPathLength);
  parts.userName.assign(user.data(), components.dwUserNameLength);
  parts.password.assign(password.data(), components.dwPasswordLength);
  parts.extraInfo.assign(extra.data(), components.dwExtraInfoLength);
  return true;
}

}  // namespace pagewell
