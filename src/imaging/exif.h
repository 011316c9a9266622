#pragma once
// TExif: the Exif tags that travel with a page, kept as texts of the form
// Name=Value under the standard Exif tag names ("XResolution",
// "YResolution", "ResolutionUnit", ...), in the order they were set.
// A value is the tag's text, or its numbers in decimal, a rational as
// numerator/denominator ("300/1"), several numbers separated by ", "
// ("313/1000, 329/1000"). Writing also takes a plain number for a rational
// ("72", "0.3127") and numbers separated by spaces.
#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

namespace pagewell {

class TExif {
 public:
  bool Empty() const { return tags_.empty(); }
  std::size_t Count() const { return tags_.size(); }
  const std::vector<std::string>& Tags() const { return tags_; }
  void Clear() { tags_.clear(); }

  bool Has(const std::string& name) const { return Find(name) != tags_.end(); }
  // The value of the tag, empty when the tag is absent.
  std::string Value(const std::string& name) const;
  // Sets the tag's value, adding the tag at the end when absent.
  void SetValue(const std::string& name, const std::string& value);
  void Remove(const std::string& name);

  bool operator==(const TExif& other) const { return tags_ == other.tags_; }

  // The Exif block as it follows an APP1 marker and its length: "Exif",
  // two zero bytes, then a little-endian TIFF structure whose first
  // directory holds the image tags and points to the Exif directory. Tags
  // whose names are not among the known Exif tags are left out; empty when
  // no tag is left. Raises EExifError for a value its tag type cannot hold.
  std::vector<std::uint8_t> SaveToBytes() const;
  // Replaces the tags with the known tags of an Exif block (either byte
  // order). Raises EExifError ("Error in Exif data") for malformed data and
  // then keeps the tags it had.
  void LoadFromBytes(const std::uint8_t* data, std::size_t size);

 private:
  std::vector<std::string>::iterator Find(const std::string& name);
  std::vector<std::string>::const_iterator Find(const std::string& name) const;

  std::vector<std::string> tags_;
};

// The number a rational tag value ("300/1", or a plain "300") stands for.
// Raises EExifError: "Conversion error - division by zero." for a zero
// denominator, "Error in Exif data" for text that is not a rational.
double ExifRationalValue(const std::string& text);

}  // namespace pagewell
