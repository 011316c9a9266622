#pragma once
// Multi-string values of the machine policy key HKLM\SOFTWARE\Pagewell.
#include <optional>
#include <string>
#include <vector>

namespace pagewell {

// The strings of the value `name` as UTF-8, or nothing when the machine
// has no such value. A value that exists but cannot be read as text (or
// is far larger than any list an administrator writes) gives no strings.
// Both builds of the control read the 64-bit registry view, so that one
// policy serves the 32-bit and the 64-bit control alike.
std::optional<std::vector<std::string>> ReadMachinePolicyStrings(const wchar_t* name);

// HKLM\SOFTWARE\Pagewell\UploadTargets: the origins a served page may
// upload to besides its own (entries as for AllowedOrigins); none without
// the policy.
std::vector<std::string> ReadUploadTargetsPolicy();

}  // namespace pagewell
