#pragma once
// TFileInfo: Photoshop/IPTC file information of a page ("Caption",
// "Image URL", ...), handed to the PSD writer and written by the JPEG
// writer when marked changed.
#include <string>
#include <utility>
#include <vector>


namespace pagewell {

struct TBIMSegment;  // a Photoshop image resource (formats/metadata/bim_segment.h)

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

  // The fields as Photoshop image resources: the IPTC fields (record 2
  // datasets such as "Caption" 2:120 and "Keywords" 2:25, each field one
  // dataset) in one IPTC-NAA resource, "Image URL" in the URL resource.
  // Fields with other names are not written.
  // Both are written with the metadata formats (formats/metadata).
  std::vector<TBIMSegment> ToResources() const;
  // Replaces the fields with those found in the resources; Changed is
  // cleared. Malformed IPTC data ends the fields found so far.
  void LoadFromResources(const std::vector<TBIMSegment>& resources);
};

}  // namespace pagewell
