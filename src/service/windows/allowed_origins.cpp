#include "allowed_origins.h"

#include "core/origin_match.h"
#include "origin_registry.h"

namespace pagewell::service {
namespace {

bool listAdmits(const std::vector<std::string>& entries, const std::string& origin) {
  for (const std::string& entry : entries)
    if (originMatches(origin, entry)) return true;
  return false;
}

}  // namespace

Admission AllowedOrigins::admission(const std::string& origin) {
  bool userMayDecide = machineAllowsPrompting();
  if (listAdmits(commandLine_, origin) || listAdmits(machineAllowedOrigins(), origin) ||
      (userMayDecide && listAdmits(userApprovedOrigins(), origin)))
    return Admission::Admitted;
  // Only an origin the user could recognise is put to them.
  if (!prompt_ || !userMayDecide || !originMatches(origin, origin) || asker_.refusedWithoutAsking(origin))
    return Admission::Refused;
  return Admission::AskUser;
}

}  // namespace pagewell::service
