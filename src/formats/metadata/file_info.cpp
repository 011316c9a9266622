// Serialisation of TFileInfo as Photoshop image resources.
#include "formats/metadata/file_info.h"

#include <algorithm>

#include "formats/metadata/iptc_fields.h"

namespace pagewell {
namespace {

constexpr std::uint8_t kTagMarker = 0x1C;
constexpr char kUrlField[] = "Image URL";
// A dataset longer than this needs the extended length form, which
// readers handle badly; longer texts are cut.
constexpr std::size_t kMaxDatasetLength = 0x7FFF;

void PutDataset(std::vector<std::uint8_t>& out, int dataset, const std::string& text) {
  const std::size_t length = std::min(text.size(), kMaxDatasetLength);
  out.insert(out.end(), {kTagMarker, kIptcApplicationRecord, static_cast<std::uint8_t>(dataset),
                         static_cast<std::uint8_t>(length >> 8), static_cast<std::uint8_t>(length)});
  out.insert(out.end(), text.begin(), text.begin() + static_cast<std::ptrdiff_t>(length));
}

std::vector<std::uint8_t> IptcData(const std::vector<std::pair<std::string, std::string>>& fields) {
  std::vector<std::uint8_t> out;
  // Record version 2 opens the application record.
  out.insert(out.end(), {kTagMarker, kIptcApplicationRecord, 0, 0, 2, 0, 2});
  bool any = false;
  for (const auto& field : fields) {
    const int dataset = IptcDatasetOf(field.first);
    if (dataset < 0) continue;
    PutDataset(out, dataset, field.second);
    any = true;
  }
  if (!any) out.clear();
  return out;
}

void ReadIptc(const std::vector<std::uint8_t>& data, std::vector<std::pair<std::string, std::string>>& fields) {
  std::size_t at = 0;
  while (data.size() - at >= 5 && data[at] == kTagMarker) {
    const int record = data[at + 1], dataset = data[at + 2];
    const std::size_t length = static_cast<std::size_t>(data[at + 3] << 8 | data[at + 4]);
    // The extended form (top bit set) is never used for texts we keep.
    if (length & 0x8000 || length > data.size() - at - 5) break;
    const char* name = record == kIptcApplicationRecord ? IptcFieldName(dataset) : nullptr;
    if (name != nullptr) {
      fields.emplace_back(name, std::string(data.begin() + static_cast<std::ptrdiff_t>(at + 5),
                                            data.begin() + static_cast<std::ptrdiff_t>(at + 5 + length)));
    }
    at += 5 + length;
  }
}

}  // namespace

TBIMList TFileInfo::ToResources() const {
  TBIMList resources;
  auto iptc = IptcData(Fields);
  if (!iptc.empty()) resources.push_back({kIptcResourceId, "", std::move(iptc)});
  for (const auto& field : Fields) {
    if (field.first == kUrlField) {
      resources.push_back({kUrlResourceId, "", std::vector<std::uint8_t>(field.second.begin(), field.second.end())});
    }
  }
  return resources;
}

void TFileInfo::LoadFromResources(const TBIMList& resources) {
  Clear();
  for (const auto& r : resources) {
    if (r.Id == kIptcResourceId) ReadIptc(r.Data, Fields);
    if (r.Id == kUrlResourceId) Fields.emplace_back(kUrlField, std::string(r.Data.begin(), r.Data.end()));
  }
}

}  // namespace pagewell
