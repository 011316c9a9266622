#pragma once
// The service's command line:
//   pagewell-service [--port N] [--control PATH] [--allow-origin ORIGIN]...
//                    [--no-prompt] [--idle-seconds N] [--minimized]
#include <optional>
#include <string>
#include <vector>

namespace pagewell::service {

constexpr unsigned kDefaultPort = 47115;

struct ServiceOptions {
  unsigned port = kDefaultPort;
  std::string controlPath;                 // empty: Pagewell.dll beside the program
  std::vector<std::string> allowedOrigins; // for this run, besides the policy and the user's; normalised entries
  bool prompt = true;                      // false: unknown origins are denied without asking
  unsigned idleSeconds = 300;              // a session with no message for this long is closed
  bool minimized = false;                  // the window starts minimised until the first session
};

struct ParsedOptions {
  std::optional<ServiceOptions> options;
  std::string error;  // what is wrong, when options is empty
};

// Arguments in UTF-8, without the program name.
ParsedOptions parseServiceOptions(const std::vector<std::string>& arguments);

}  // namespace pagewell::service
