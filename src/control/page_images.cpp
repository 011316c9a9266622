#include "page_images.h"

#include "imaging/lu_bitmap.h"
#include "viewer/pw_image.h"

namespace pagewell {

TPageImages::TPageImages(TPageFileOpener openFile, std::size_t memoryBudget)
    : openFile_(std::move(openFile)), budget_(memoryBudget),
      store_(std::make_unique<TPageStore>(openFile_, memoryBudget)) {}

TPageImages::~TPageImages() = default;

TPageStoreError TPageImages::Keep(TPWImage& page) {
  TPageStore::TKey key = 0;
  const TPageStoreError error = StoreFromViewer(page, key);
  if (error == TPageStoreError::None) keys_[&page] = key;
  return error;
}

TPageStoreError TPageImages::Fetch(const TPWImage& page, TluBitmap& image) const {
  const auto found = keys_.find(&page);
  if (found == keys_.end()) return TPageStoreError::NoSuchPage;
  return store_->Get(found->second, image);
}

TPageStoreError TPageImages::Edit(TPWImage& page, int cellWidth, int cellHeight,
                                  const std::function<void(TPWImage&)>& edit) {
  const auto found = keys_.find(&page);
  if (found == keys_.end()) return TPageStoreError::NoSuchPage;
  auto image = std::make_unique<TluBitmap>();
  if (const TPageStoreError error = store_->Get(found->second, *image); error != TPageStoreError::None) return error;
  page.SetImage(std::move(image));
  edit(page);
  page.FitToSize(cellWidth, cellHeight);
  std::unique_ptr<TluBitmap> edited = page.KeepViewOnly();
  const TPageStoreError error = edited ? store_->Replace(found->second, std::move(*edited)) : TPageStoreError::None;
  // The store still holds the page as it was: the thumbnail shows that.
  if (error != TPageStoreError::None) Refit(page, cellWidth, cellHeight);
  return error;
}

TPageStoreError TPageImages::Refit(TPWImage& page, int cellWidth, int cellHeight) {
  auto image = std::make_unique<TluBitmap>();
  if (const TPageStoreError error = Fetch(page, *image); error != TPageStoreError::None) return error;
  page.SetImage(std::move(image));
  page.FitToSize(cellWidth, cellHeight);
  page.KeepViewOnly();
  return TPageStoreError::None;
}

void TPageImages::Forget(const TPWImage& page) {
  const auto found = keys_.find(&page);
  if (found == keys_.end()) return;
  store_->Remove(found->second);
  keys_.erase(found);
}

void TPageImages::Clear() {
  keys_.clear();
  store_->Clear();
}

void TPageImages::SetMemoryBudget(std::size_t bytes) {
  budget_ = bytes;
  store_->SetMemoryBudget(bytes);
}

TPageStoreError TPageImages::StoreFromViewer(TPWImage& page, TPageStore::TKey& key) {
  std::unique_ptr<TluBitmap> image = page.KeepViewOnly();
  if (!image) return TPageStoreError::NoSuchPage;
  return store_->Put(std::move(*image), key);
}

}  // namespace pagewell
