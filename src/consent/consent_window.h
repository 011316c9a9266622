#pragma once
// The question put to the user about a website that wants the scanner: a
// window that names the page's whole origin, wrapped over as many lines as
// it needs, with the site it belongs to (its registrable domain) in bold,
// so that "https://scan.intranet.example.com-x.attacker.test" reads as
// attacker.test. Allow once, Always allow and Deny.
//
// The page has no way to press them, and a person cannot press them by
// accident: the buttons come alive only a second after the window appears,
// and the window does not take the focus from what the user is typing (it
// flashes instead). Closing it, or leaving it unanswered for a minute,
// denies; so does a WM_QUIT posted to the asking thread.
#include <string>

namespace pagewell {

enum class Consent { AllowOnce, AlwaysAllow, Deny };

// Shows the window on the calling thread and waits for the answer. `site`
// is the part of the origin's host shown in bold (empty: none).
Consent askUserAbout(const std::string& origin, const std::string& site = {});

}  // namespace pagewell
