#include "encode_pages.h"

namespace pagewell {
namespace {

constexpr int kQuality = 90;

}  // namespace

std::wstring PreparingPageText(std::wstring_view preparing, std::wstring_view pageText, int page, int count) {
  return std::wstring(preparing) + L" - " + std::wstring(pageText) + L"(" + std::to_wstring(page) + L"/" +
         std::to_wstring(count) + L")...";
}

EncodeOutcome EncodePages(const std::vector<const TluBitmap*>& pages, TMemoryStream& stream, bool allPages,
                          int formatCode, unsigned pageIndex, TPageEncodingProgress* progress) {
  if (!allPages || pages.size() < 2) {
    if (pageIndex < 1 || pageIndex > pages.size()) return EncodeOutcome::NoPage;
    OutputCopyOf(*pages[pageIndex - 1]).SaveToStreamAs(stream, formatCode, kQuality, "", "", "", "");
    return EncodeOutcome::Written;
  }
  TluBitmap work;
  const auto page = [&](int index) -> const TluBitmap& {
    work = OutputCopyOf(*pages[static_cast<size_t>(index)]);
    return work;
  };
  switch (EncodeSeveralPages(static_cast<int>(pages.size()), page, formatCode, kQuality, stream, progress)) {
    case TPageEncoding::Written: return EncodeOutcome::Written;
    case TPageEncoding::Aborted: return EncodeOutcome::Aborted;
    case TPageEncoding::Unsupported: break;
  }
  return EncodeOutcome::NoPage;
}

}  // namespace pagewell
