#pragma once
// TPageImages: the full images of the form's pages. A page viewer in the
// strip keeps only its drawn thumbnail; the page's image itself lives in
// the page store, compressed and, beyond the memory budget, in the store's
// temporary file. Only the page on show and the page being edited or
// encoded are ever decoded, one at a time.
#include <cstddef>
#include <functional>
#include <memory>
#include <unordered_map>

#include "page_store/page_store.h"

namespace pagewell {

class TPWImage;
class TluBitmap;

class TPageImages {
 public:
  // The memory the compressed pages may take before they go to the file.
  static constexpr std::size_t kDefaultMemoryBudget = 64u << 20;

  TPageImages(TPageFileOpener openFile, std::size_t memoryBudget);
  ~TPageImages();
  TPageImages(const TPageImages&) = delete;
  TPageImages& operator=(const TPageImages&) = delete;

  // The image the viewer holds goes to the store as the viewer's page and
  // the viewer keeps only its drawn view. On failure the viewer holds no
  // page and the image is lost.
  TPageStoreError Keep(TPWImage& page);
  // A copy of the page's image.
  TPageStoreError Fetch(const TPWImage& page, TluBitmap& image) const;
  // The page's image goes back into its viewer, `edit` changes it there,
  // and the result is stored and the thumbnail drawn again at the cell
  // size. When the edited image cannot be stored, the page stays as it was.
  TPageStoreError Edit(TPWImage& page, int cellWidth, int cellHeight, const std::function<void(TPWImage&)>& edit);
  // Draws the thumbnail again for a new cell size.
  TPageStoreError Refit(TPWImage& page, int cellWidth, int cellHeight);
  // The page is gone (deleted, or the list cleared).
  void Forget(const TPWImage& page);
  void Clear();

  // A new memory budget applies to pages stored from now on.
  void SetMemoryBudget(std::size_t bytes);
  std::size_t MemoryBudget() const { return budget_; }
  const TPageStore& Store() const { return *store_; }

 private:
  TPageStoreError StoreFromViewer(TPWImage& page, TPageStore::TKey& key);

  TPageFileOpener openFile_;
  std::size_t budget_;
  std::unique_ptr<TPageStore> store_;
  std::unordered_map<const TPWImage*, TPageStore::TKey> keys_;
};

}  // namespace pagewell
