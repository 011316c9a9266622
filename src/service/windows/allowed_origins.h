#pragma once
// Which origins may use the service: the machine policy
// (HKLM\SOFTWARE\Pagewell\AllowedOrigins), the user's own approvals
// (HKCU\Software\Pagewell\AllowedOrigins), both REG_MULTI_SZ, and the
// --allow-origin entries of this run. An origin on none of them is put to
// the user, unless the service runs with --no-prompt. An origin the user
// denied is not asked about again while the service runs, so a page cannot
// wear the user down with question after question.
#include <mutex>
#include <set>
#include <string>
#include <vector>

#include "core/connection.h"

namespace pagewell::service {

class AllowedOrigins final : public OriginGate {
 public:
  AllowedOrigins(std::vector<std::string> commandLine, bool prompt)
      : commandLine_(std::move(commandLine)), prompt_(prompt) {}

  // Reads the registry each time, so a policy change needs no restart.
  bool admits(const std::string& origin) override;

 private:
  std::vector<std::string> commandLine_;
  bool prompt_;
  std::mutex askLock_;  // one question at a time
  std::set<std::string> denied_;
};

}  // namespace pagewell::service
