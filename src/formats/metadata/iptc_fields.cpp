#include "formats/metadata/iptc_fields.h"

namespace pagewell {
namespace {

struct TIptcField {
  const char* Name;
  int Dataset;
};

constexpr TIptcField kFields[] = {
    {"Object Name", 5},
    {"Urgency", 10},
    {"Category", 15},
    {"Supplemental Categories", 20},
    {"Keywords", 25},
    {"Special Instructions", 40},
    {"Date Created", 55},
    {"Byline", 80},
    {"Byline Title", 85},
    {"City", 90},
    {"Province-State", 95},
    {"Country Name", 101},
    {"Original Transmission Reference", 103},
    {"Headline", 105},
    {"Credits", 110},
    {"Source", 115},
    {"Copyright Notice", 116},
    {"Caption", 120},
    {"Caption Writer", 122},
};

}  // namespace

int IptcDatasetOf(const std::string& name) {
  for (const auto& f : kFields) {
    if (name == f.Name) return f.Dataset;
  }
  return -1;
}

const char* IptcFieldName(int dataset) {
  for (const auto& f : kFields) {
    if (dataset == f.Dataset) return f.Name;
  }
  return nullptr;
}

}  // namespace pagewell
