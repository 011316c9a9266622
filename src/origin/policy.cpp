#include "origin/policy.h"

#include <algorithm>

namespace pagewell {

std::vector<std::string> policyWords(const std::vector<std::string>& values) {
  static const char kWhiteSpace[] = " \t\r\n";
  std::vector<std::string> words;
  for (const std::string& value : values) {
    size_t start = 0;
    while ((start = value.find_first_not_of(kWhiteSpace, start)) != std::string::npos) {
      size_t end = value.find_first_of(kWhiteSpace, start);
      words.push_back(value.substr(start, end == std::string::npos ? std::string::npos : end - start));
      start = end;
    }
  }
  return words;
}

Policy parsePolicy(const std::vector<std::string>& values) {
  Policy policy;
  for (std::string& word : policyWords(values)) {
    Parsed<PolicyEntry> entry = parsePolicyEntry(word);
    if (entry)
      policy.entries.push_back(std::move(*entry.value));
    else
      policy.refused.push_back({std::move(word), std::move(entry.error)});
  }
  return policy;
}

bool policyAllows(const Policy& policy, const Origin& page) {
  return std::any_of(policy.entries.begin(), policy.entries.end(),
                     [&](const PolicyEntry& entry) { return entryAllows(entry, page); });
}

}  // namespace pagewell
