#include "encode_pages.h"

#include <stdexcept>

namespace pagewell {
namespace {

constexpr int kQuality = 90;

// Raised from inside the page source when a page cannot be read back, so
// that the several-page encoder stops where it is.
class EPageUnreadable : public std::runtime_error {
 public:
  explicit EPageUnreadable(TPageStoreError error) : std::runtime_error("page unreadable"), error(error) {}
  TPageStoreError error;
};

TluBitmap fetchOutputPage(const OutputPages& pages, unsigned position) {
  TluBitmap page;
  const TPageStoreError error = pages.fetch(position, page);
  if (error != TPageStoreError::None) throw EPageUnreadable(error);
  return OutputCopyOf(std::move(page));
}

void writeOnePage(const OutputPages& pages, unsigned position, int formatCode, TByteSink& sink) {
  TMemoryStream file;
  fetchOutputPage(pages, position).SaveToStreamAs(file, formatCode, kQuality, "", "", "", "");
  sink.Write(file.Data(), file.Size());
}

EncodeOutcome writeSeveralPages(const OutputPages& pages, int formatCode, TByteSink& sink,
                                TPageEncodingProgress* progress) {
  TluBitmap work;
  const auto page = [&](int index) -> const TluBitmap& {
    work = TluBitmap();  // the last page goes before the next one comes
    work = fetchOutputPage(pages, static_cast<unsigned>(index) + 1);
    return work;
  };
  switch (EncodeSeveralPages(static_cast<int>(pages.count), page, formatCode, kQuality, sink, progress)) {
    case TPageEncoding::Written: return EncodeOutcome::Written;
    case TPageEncoding::Aborted: return EncodeOutcome::Aborted;
    case TPageEncoding::Unsupported: break;
  }
  return EncodeOutcome::NoPage;
}

}  // namespace

std::wstring PreparingPageText(std::wstring_view preparing, std::wstring_view pageText, int page, int count) {
  return std::wstring(preparing) + L" - " + std::wstring(pageText) + L"(" + std::to_wstring(page) + L"/" +
         std::to_wstring(count) + L")...";
}

EncodeOutcome EncodePages(const OutputPages& pages, TByteSink& sink, bool allPages, int formatCode,
                          unsigned pageIndex, TPageEncodingProgress* progress, TPageStoreError* readError) {
  try {
    if (!allPages || pages.count < 2) {
      if (pageIndex < 1 || pageIndex > pages.count) return EncodeOutcome::NoPage;
      writeOnePage(pages, pageIndex, formatCode, sink);
      return EncodeOutcome::Written;
    }
    return writeSeveralPages(pages, formatCode, sink, progress);
  } catch (const EPageUnreadable& unreadable) {
    if (readError) *readError = unreadable.error;
    return EncodeOutcome::PageUnreadable;
  }
}

EncodeOutcome EncodePages(const std::vector<const TluBitmap*>& bitmaps, TMemoryStream& stream, bool allPages,
                          int formatCode, unsigned pageIndex, TPageEncodingProgress* progress) {
  OutputPages pages;
  pages.count = static_cast<unsigned>(bitmaps.size());
  pages.fetch = [&](unsigned position, TluBitmap& page) {
    page = *bitmaps[position - 1];
    return TPageStoreError::None;
  };
  TMemoryStream file;
  TMemoryStreamSink sink(file);
  const EncodeOutcome outcome = EncodePages(pages, sink, allPages, formatCode, pageIndex, progress);
  if (outcome == EncodeOutcome::Written) stream.Write(file.Data(), file.Size());
  return outcome;
}

}  // namespace pagewell
