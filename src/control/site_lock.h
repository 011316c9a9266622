#pragma once
// SiteLock: keeps the control to the pages it may work in.
//
// The control learns its page's address from the site its container gives
// it and judges the page by the rule in site_rule.h: the machine policy
// HKLM\SOFTWARE\Pagewell\AllowedOrigins when there is one, otherwise the
// user's own approvals and, for a site they have not approved, their answer
// to the consent question. Until a page is allowed the control does nothing
// for it: no device is opened, no member runs, no event is raised.
//
// The question is never put while the container is handing over its site
// (a modal loop inside SetClientSite or SetSite is more than a container
// can be expected to survive); it is put when the page first uses the
// control (admit). "Always allow" adds the site to the user's list, "Allow
// once" lasts as long as this control, "Deny" or closing the window refuses.
// A refusal is final for the control's lifetime: a page cannot talk the
// control round by offering another site afterwards.
//
// A control that no container has placed in a page yet is in the hands of
// the program that created it, as our tests and desktop programs use it (a
// browser places a control before its page can script it). Where the user
// decides about sites, it works for that program, since the user runs it;
// where the machine decides (a policy, or no questions), it does nothing
// until a site names a page the machine allows.
#include <windows.h>
#include <objidl.h>

#include <optional>
#include <string>
#include <vector>

#include "site_rule.h"

namespace pagewell {

class SiteLock {
 public:
  // Reads the machine's settings once, when the control is created.
  SiteLock();

  // Judges the page behind `site` (an IOleClientSite, or the site a browser
  // hands to IObjectWithSite::SetSite) without asking anybody. True when
  // this call judged it; a page is judged once.
  bool learnPageFrom(IUnknown* site);
  // Whether the control may work now.
  bool allows() const { return state_ == State::Allowed || (state_ == State::NoPage && trustsItsProgram()); }
  // Whether the control refuses to work; a page waiting for the user's
  // answer is not refused (yet).
  bool refuses() const { return state_ == State::Refused || (state_ == State::NoPage && !trustsItsProgram()); }
  // Whether the page waits for the user's answer.
  bool undecided() const { return state_ == State::AskUser; }
  // Puts a page that waits for it to the user, once; then as allows().
  bool admit();
  // One line for the page and the form, saying which site is not allowed.
  std::wstring refusal() const;
  // What is wrong with the machine's policy, one line an entry that allows
  // nothing (a wildcard over a public suffix, a mistyped origin).
  const std::vector<std::string>& policyProblems() const { return machine_.policyProblems; }

 private:
  enum class State { NoPage, AskUser, Asking, Allowed, Refused };

  bool trustsItsProgram() const { return !machine_.policy && machine_.promptForUnknownOrigins; }

  MachineSiteSettings machine_;
  std::optional<std::wstring> pageAddress_;
  State state_ = State::NoPage;
};

// The address of the page behind a container's site: the client site's
// moniker for its container, or else the browser's location through the
// site's service provider. Nothing when neither answers.
std::optional<std::wstring> pageAddressOf(IUnknown* site);

}  // namespace pagewell
