#pragma once
// The machine policy of where a served page may upload (see
// settings/pagewell_settings.h).
#include <string>
#include <vector>

namespace pagewell {

// HKLM\SOFTWARE\Pagewell\UploadTargets: the origins a served page may
// upload to besides its own (entries as for AllowedOrigins); none without
// the policy.
std::vector<std::string> ReadUploadTargetsPolicy();

}  // namespace pagewell
