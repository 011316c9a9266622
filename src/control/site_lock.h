#pragma once
// SiteLock: keeps the control to the pages an administrator allowed.
//
// The machine policy HKLM\SOFTWARE\Pagewell\AllowedOrigins (a multi-string
// of origins, see allowed_origins.h) turns the lock on. Without it the
// control works in every page, as it always has. With it, the control works
// only once it has learnt its page's address from the site its container
// gave it and that address's origin is on the list; a page that is not
// allowed, or whose address cannot be learnt, gets nothing but a refusal.
// A refusal is final for the control's lifetime: a page cannot talk the
// control round by offering another site afterwards.
#include <windows.h>
#include <objidl.h>

#include <optional>
#include <string>
#include <vector>

namespace pagewell {

class SiteLock {
 public:
  // Reads the machine policy once, when the control is created.
  SiteLock();

  // Whether a policy restricts the control at all.
  bool engaged() const { return policy_.has_value(); }
  // Decides for the page behind `site` (an IOleClientSite, or the site a
  // browser hands to IObjectWithSite::SetSite).
  void learnPageFrom(IUnknown* site);
  // Whether the control may work: no policy, or an allowed page.
  bool allows() const { return !engaged() || allowed_; }
  // One line for the page and the form, saying which site is not allowed.
  std::wstring refusal() const;

 private:
  std::optional<std::vector<std::string>> policy_;
  std::optional<std::wstring> pageAddress_;
  bool allowed_ = false;
  bool refused_ = false;
};

// The policy's origins, or nothing when the machine has no policy. A policy
// that exists but cannot be read as text allows nothing.
std::optional<std::vector<std::string>> readAllowedOriginsPolicy();

// The address of the page behind a container's site: the client site's
// moniker for its container, or else the browser's location through the
// site's service provider. Nothing when neither answers.
std::optional<std::wstring> pageAddressOf(IUnknown* site);

}  // namespace pagewell
