#pragma once
// The service's own question to the user about an origin it does not know:
// a window that names the origin exactly, with Allow once, Always allow and
// Deny. The page has no way to press them; closing the window or leaving it
// unanswered for a minute denies.
#include <string>

namespace pagewell {

enum class Consent { AllowOnce, AlwaysAllow, Deny };

// Shows the window on the calling thread and waits for the answer.
Consent askUserAbout(const std::string& origin);

}  // namespace pagewell
