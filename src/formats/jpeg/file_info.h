#pragma once
// TFileInfo: Photoshop/IPTC file information of a page ("Caption",
// "Image URL", ...), handed to the PSD writer and written by the JPEG
// writer when marked changed.
#include <string>
#include <utility>
#include <vector>

namespace pagewell {

struct TFileInfo {
  // IPTC fields in the order they were set: name and text.
  std::vector<std::pair<std::string, std::string>> Fields;
  // Set when the information was edited and should be written to JPEG files.
  bool Changed = false;

  bool Empty() const { return Fields.empty(); }
  void Clear() {
    Fields.clear();
    Changed = false;
  }
  bool operator==(const TFileInfo& other) const { return Fields == other.Fields && Changed == other.Changed; }
};

}  // namespace pagewell
