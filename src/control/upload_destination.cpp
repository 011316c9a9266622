#include "upload_destination.h"

#include <algorithm>
#include <cctype>

namespace pagewell {
namespace {

// The destination as an origin, or nothing when it is not one: a scheme
// other than http or https, or a host that reads back differently once
// written as an origin (user information, a path or other characters a
// host name cannot hold).
std::optional<Origin> originOf(const UrlParts& destination) {
  if (destination.scheme != "http" && destination.scheme != "https") return std::nullopt;
  Origin origin{destination.scheme, destination.host, destination.port};
  std::transform(origin.host.begin(), origin.host.end(), origin.host.begin(),
                 [](unsigned char c) { return static_cast<char>(std::tolower(c)); });
  std::optional<Origin> reread = originOfAddress(originText(origin));
  if (!reread || !(*reread == origin)) return std::nullopt;
  return origin;
}

std::string refusal(const std::optional<Origin>& page) {
  if (!page) return "Uploads are refused: this page has no web origin the control could send to";
  return "Uploads go only to this page's own server, " + originText(*page) +
         ", or to an upload target the administrator allows";
}

}  // namespace

std::optional<std::string> RefusedUploadMessage(const std::optional<UrlParts>& destination,
                                                const std::string& pageAddress,
                                                const std::vector<std::string>& uploadTargets) {
  const std::optional<Origin> page = originOfAddress(pageAddress);
  const std::optional<Origin> target = destination ? originOf(*destination) : std::nullopt;
  if (page && target && (*target == *page || isAddressAllowed(originText(*target), uploadTargets)))
    return std::nullopt;
  return refusal(page);
}

}  // namespace pagewell
