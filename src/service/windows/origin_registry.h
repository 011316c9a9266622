#pragma once
// Where the service's lists of origins live in the registry, all REG_MULTI_SZ
// under SOFTWARE\Pagewell, each string holding one or more origins
// separated by white space (the installer writes its property as one
// string):
//   HKLM AllowedOrigins            the machine's list (the administrator's)
//   HKLM PromptForUnknownOrigins   DWORD, default 1; 0: the machine's list
//                                  alone, no questions, no user approvals
//   HKCU AllowedOrigins            the user's own approvals ("Always allow")
// The machine's values are read in its 64-bit view, so that both builds
// read the same policy.
#include <string>
#include <vector>

namespace pagewell::service {

// The strings of each list as stored; each may hold several entries.
std::vector<std::string> machineAllowedOrigins();
std::vector<std::string> userAllowedOrigins();
bool machineAllowsPrompting();

// The user's approvals one origin each, as the approvals window lists them.
std::vector<std::string> userApprovedOrigins();
void addUserApproval(const std::string& origin);
// Takes the origin off the user's list; false when it was not on it.
bool removeUserApproval(const std::string& origin);

}  // namespace pagewell::service
