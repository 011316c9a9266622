#include "origin/public_suffix.h"

#include <vector>

#include "origin/host.h"
#include "origin/public_suffix_rules.h"

namespace pagewell {
namespace {

std::string_view ruleAt(std::size_t index) {
  using namespace public_suffix_rules;
  return std::string_view(kText + kStarts[index], kStarts[index + 1] - kStarts[index]);
}

bool hasRule(std::string_view rule) {
  std::size_t low = 0, high = public_suffix_rules::kCount;
  while (low < high) {
    std::size_t middle = low + (high - low) / 2;
    int order = ruleAt(middle).compare(rule);
    if (order == 0) return true;
    if (order < 0)
      low = middle + 1;
    else
      high = middle;
  }
  return false;
}

bool hasRule(std::string_view prefix, std::string_view domain) {
  std::string rule(prefix);
  rule += domain;
  return hasRule(rule);
}

// Where each label of `domain` starts, the leftmost first; empty when a
// label is empty.
std::vector<std::size_t> labelStarts(std::string_view domain) {
  std::vector<std::size_t> starts;
  for (std::size_t start = 0;;) {
    std::size_t dot = domain.find('.', start);
    std::size_t end = dot == std::string_view::npos ? domain.size() : dot;
    if (end == start) return {};
    starts.push_back(start);
    if (dot == std::string_view::npos) return starts;
    start = dot + 1;
  }
}

// The index into `labels` of the label where the public suffix of
// `domain` begins; labels.size() when an exception rule leaves none.
// `listed` tells whether a rule of the list said so, rather than the
// implicit "*" that stands for every name the list does not know.
std::size_t publicSuffixLabel(std::string_view domain, const std::vector<std::size_t>& labels, bool* listed = nullptr) {
  if (listed) *listed = true;
  auto suffix = [&](std::size_t label) { return domain.substr(labels[label]); };
  // An exception rule prevails over all others, and it makes its own
  // leftmost label registrable: "!www.ck" means www.ck is a site under ck.
  for (std::size_t label = 0; label < labels.size(); ++label)
    if (hasRule("!", suffix(label))) return label + 1;
  // Otherwise the matching rule with the most labels: the longest suffix
  // that is listed or lies directly under a listed wildcard ("*.ck").
  for (std::size_t label = 0; label < labels.size(); ++label) {
    if (hasRule(suffix(label))) return label;
    if (label + 1 < labels.size() && hasRule("*.", suffix(label + 1))) return label;
  }
  if (listed) *listed = false;
  return labels.size() - 1;  // the implicit "*": the last label
}

}  // namespace

bool isListedPublicSuffix(std::string_view domain) {
  std::vector<std::size_t> labels = labelStarts(domain);
  bool listed = false;
  return !labels.empty() && publicSuffixLabel(domain, labels, &listed) == 0 && listed;
}

std::string registrableDomain(std::string_view host) {
  if (isIpAddress(host)) return std::string(host);
  std::vector<std::size_t> labels = labelStarts(host);
  if (labels.size() < 2) return std::string(host);
  std::size_t suffix = publicSuffixLabel(host, labels);
  if (suffix == 0) return std::string(host);
  return std::string(host.substr(labels[suffix - 1]));
}

}  // namespace pagewell
