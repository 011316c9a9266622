#pragma once
// Which origins may use the service: the machine's list, the user's own
// approvals and the --allow-origin entries of this run (see
// settings/pagewell_settings.h and core/origin_admission.h). An origin on none of them
// is put to the user, unless the service runs with --no-prompt or the
// machine's policy switches prompting off, which also sets the user's
// approvals aside. An entry of a list that allows nothing (a wildcard over
// a public suffix, a typing error) is reported in the service's log, once.
#include <functional>
#include <set>
#include <string>
#include <vector>

#include "consent_asker.h"
#include "core/connection.h"

namespace pagewell::service {

class AllowedOrigins final : public OriginGate {
 public:
  using Log = std::function<void(const std::string& line)>;

  AllowedOrigins(std::vector<std::string> commandLine, bool prompt, ConsentAsker& asker, Log log)
      : commandLine_(std::move(commandLine)), prompt_(prompt), asker_(asker), log_(std::move(log)) {}

  // Reads the registry each time, so a policy change needs no restart.
  Admission admission(const std::string& origin) override;
  void ask(ConnectionId connection, const std::string& origin) override { asker_.ask(connection, origin); }

 private:
  std::vector<std::string> commandLine_;
  bool prompt_;
  ConsentAsker& asker_;
  Log log_;
  std::set<std::string> reported_;  // the network thread's alone
};

}  // namespace pagewell::service
