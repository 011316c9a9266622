#include "imaging/exif.h"

#include <algorithm>

namespace pagewell {
namespace {
bool HasName(const std::string& tag, const std::string& name) {
  return tag.size() > name.size() && tag[name.size()] == '=' && tag.compare(0, name.size(), name) == 0;
}
}  // namespace

std::vector<std::string>::iterator TExif::Find(const std::string& name) {
  return std::find_if(tags_.begin(), tags_.end(), [&](const std::string& t) { return HasName(t, name); });
}

std::vector<std::string>::const_iterator TExif::Find(const std::string& name) const {
  return std::find_if(tags_.begin(), tags_.end(), [&](const std::string& t) { return HasName(t, name); });
}

std::string TExif::Value(const std::string& name) const {
  const auto it = Find(name);
  return it == tags_.end() ? std::string() : it->substr(name.size() + 1);
}

void TExif::SetValue(const std::string& name, const std::string& value) {
  const auto it = Find(name);
  if (it == tags_.end()) {
    tags_.push_back(name + "=" + value);
  } else {
    *it = name + "=" + value;
  }
}

void TExif::Remove(const std::string& name) {
  const auto it = Find(name);
  if (it != tags_.end()) tags_.erase(it);
}

}  // namespace pagewell
