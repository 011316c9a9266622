#pragma once
// The service's command line:
//   pagewell-service [--port N] [--control PATH] [--allow-origin ORIGIN]...
//                    [--no-prompt] [--idle-seconds N] [--minimized]
#include <optional>
#include <string>
#include <vector>

namespace pagewell::service {

constexpr unsigned kDefaultPort = 47115;
// The ports a user's service may listen on: on a machine with several
// sessions (a terminal server) each session's service has its own, and
// pagewell.js tries them in order, the default first.
constexpr unsigned kSessionPorts = 64;

// The port of the service of Windows session `session`: the default for
// the console's sessions 0 and 1, the next ones for the sessions after.
unsigned sessionPort(unsigned long session);

struct ServiceOptions {
  unsigned port = 0;                       // 0: the session's port
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
