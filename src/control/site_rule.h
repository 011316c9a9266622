#pragma once
// The site lock's rule (portable, no Windows): what the control does in a
// page, from the page's address, the machine's settings and the user's own
// approvals. It never asks anybody; it says when the user is to be asked.
//
// - With a machine policy (AllowedOrigins), the policy alone decides, as an
//   administrator who named the sites expects.
// - Without one, a page whose origin the user approved for good is allowed
//   and any other web page is put to the user, unless the machine turned the
//   question off (PromptForUnknownOrigins 0): then nothing is allowed, since
//   the user's approvals only count where the user may be asked.
// - A page whose address is unknown, or that has no http or https origin,
//   is refused without a question: there is no site the user could judge.
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace pagewell {

enum class SiteVerdict { Allow, Refuse, AskUser };

// What the machine says, read once when a control is created.
struct MachineSiteSettings {
  // The policy's entries, or nothing when the machine has no policy.
  std::optional<std::vector<std::string>> policy;
  bool promptForUnknownOrigins = true;
  // What is wrong with the policy's entries that allow nothing, one line
  // each, for the page's developer under DebugAlerts.
  std::vector<std::string> policyProblems;
};

SiteVerdict judgePage(std::optional<std::string_view> address, const MachineSiteSettings& machine,
                      const std::vector<std::string>& userApprovals);

}  // namespace pagewell
