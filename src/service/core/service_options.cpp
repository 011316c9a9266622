#include "service_options.h"

#include "origin/policy_entry.h"

namespace pagewell::service {
namespace {

std::optional<unsigned> parseNumber(const std::string& text, unsigned low, unsigned high) {
  if (text.empty() || text.size() > 6) return std::nullopt;
  unsigned value = 0;
  for (char c : text) {
    if (c < '0' || c > '9') return std::nullopt;
    value = value * 10 + unsigned(c - '0');
  }
  if (value < low || value > high) return std::nullopt;
  return value;
}

ParsedOptions failure(std::string error) { return {std::nullopt, std::move(error)}; }

}  // namespace

unsigned sessionPort(unsigned long session) {
  if (session <= 1) return kDefaultPort;
  return kDefaultPort + 1 + static_cast<unsigned>((session - 2) % (kSessionPorts - 1));
}

ParsedOptions parseServiceOptions(const std::vector<std::string>& arguments) {
  ServiceOptions options;
  for (size_t i = 0; i < arguments.size(); ++i) {
    const std::string& name = arguments[i];
    if (name == "--no-prompt") {
      options.prompt = false;
      continue;
    }
    if (name == "--minimized") {
      options.minimized = true;
      continue;
    }
    if (name != "--port" && name != "--control" && name != "--allow-origin" && name != "--idle-seconds")
      return failure("unknown option " + name);
    if (i + 1 == arguments.size()) return failure(name + " needs a value");
    const std::string& value = arguments[++i];
    if (name == "--port") {
      std::optional<unsigned> port = parseNumber(value, 1, 65535);
      if (!port) return failure("--port takes a port number, 1 to 65535");
      options.port = *port;
    } else if (name == "--idle-seconds") {
      std::optional<unsigned> seconds = parseNumber(value, 1, 86400);
      if (!seconds) return failure("--idle-seconds takes 1 to 86400");
      options.idleSeconds = *seconds;
    } else if (name == "--control") {
      options.controlPath = value;
    } else {
      Parsed<PolicyEntry> entry = parsePolicyEntry(value);
      if (!entry) return failure("--allow-origin " + value + ": " + entry.error);
      options.allowedOrigins.push_back(policyEntryText(*entry));
    }
  }
  return {options, {}};
}

}  // namespace pagewell::service
