#pragma once
// TExif: the Exif tags that travel with a page, kept as texts of the form
// Name=Value under the standard Exif tag names ("XResolution",
// "YResolution", "ResolutionUnit", ...), in the order they were set.
#include <string>
#include <vector>

namespace pagewell {

class TExif {
 public:
  bool Empty() const { return tags_.empty(); }
  std::size_t Count() const { return tags_.size(); }
  const std::vector<std::string>& Tags() const { return tags_; }
  void Clear() { tags_.clear(); }

  // The value of the tag, empty when the tag is absent.
  std::string Value(const std::string& name) const;
  // Sets the tag's value, adding the tag at the end when absent.
  void SetValue(const std::string& name, const std::string& value);

  bool operator==(const TExif& other) const { return tags_ == other.tags_; }

 private:
  std::vector<std::string>::iterator Find(const std::string& name);
  std::vector<std::string>::const_iterator Find(const std::string& name) const;

  std::vector<std::string> tags_;
};

}  // namespace pagewell
