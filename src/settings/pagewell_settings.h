#pragma once
// Pagewell's settings in the registry, under SOFTWARE\Pagewell:
//   HKLM AllowedOrigins            the administrator's list of sites
//   HKLM UploadTargets             where a served page may upload besides
//                                  its own server
//   HKLM PromptForUnknownOrigins   DWORD, default 1; 0: the administrator's
//                                  list alone, no questions, no approvals
//   HKCU AllowedOrigins            the sites the user allowed for good
// Lists are REG_MULTI_SZ (a REG_SZ is read as one string), each string
// holding one or more origins separated by white space: the installer
// writes its property as one string. The machine's values are read in the
// 64-bit view, so that the 32-bit and the 64-bit builds read one policy.
// The control's site lock and the local service both read them here.
#include <optional>
#include <string>
#include <vector>

namespace pagewell {

enum class SettingsScope { Machine, User };

// The strings of the list `name`, or nothing when there is no such value.
// A value that exists but cannot be read as text (or is far larger than any
// list a person writes) gives no strings.
std::optional<std::vector<std::string>> readSettingStrings(SettingsScope scope, const wchar_t* name);

// PromptForUnknownOrigins: on unless the machine says 0. A value of another
// type is read as the stricter choice.
bool machineAllowsPrompting();

// The user's approvals, one origin each.
std::vector<std::string> userApprovedOrigins();
// Adds the origin to the user's list, keeping what is there; false when the
// list could not be written.
bool addUserApproval(const std::string& origin);
// Takes the origin off the user's list; false when it was not on it or the
// list could not be written.
bool removeUserApproval(const std::string& origin);

}  // namespace pagewell
