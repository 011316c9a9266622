#include "page_sizes.h"

namespace pagewell {

std::vector<PageSizeEntry> standardPageSizes() {
  return {
      {L"A4 (210 x 297 mm)", 21.0, 29.7},
      {L"A3 (297 x 420 mm)", 29.7, 42.0},
      {L"A5 (148 x 210 mm)", 14.8, 21.0},
      {L"Letter (8.5\" x 11\")", 21.59, 27.94},
      {L"Tabloid (11\" x 17\")", 27.94, 43.18},
      {L"Legal (8.5\" x 14\")", 21.59, 35.56},
      {L"Statement (5.5\" x 8.5\")", 13.97, 21.59},
      {L"Executive (7.25\" x 10.5\")", 18.415, 26.67},
      {L"Custom Size", 0, 0},
  };
}

}  // namespace pagewell
