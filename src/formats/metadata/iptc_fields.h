#pragma once
// The IPTC fields of the file information: names as Photoshop's file
// information shows them, and their IPTC-IIM application record datasets.
#include <cstdint>
#include <string>

namespace pagewell {

constexpr std::uint8_t kIptcApplicationRecord = 2;

// The dataset number of a field name, or -1 when the name is not an IPTC field.
int IptcDatasetOf(const std::string& name);
// The field name of a dataset, or nullptr for datasets the page does not keep.
const char* IptcFieldName(int dataset);

}  // namespace pagewell
