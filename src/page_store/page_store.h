#pragma once
// TPageStore: keeps the pages of a batch losslessly compressed, so that only
// the pages in use are whole bitmaps. A page comes back bit for bit: its
// pixels are coded (pixel_codec.h), and everything else of the TluBitmap
// (palette, resolution, colour mode, Exif, ICC, file information, alpha,
// selection, ...) stays in memory as the page's "shell", the bitmap with its
// pixel buffer handed over. The coded records live in memory until
// `memoryBudgetBytes` is used; later ones go to the page file, opened
// through the opener when the first one needs it (a small batch never
// creates a file). File space freed by Remove and Replace is used again,
// first fit; free space at the file's end is given back to the disk, and
// once most of the file is free, each later Put, Replace or Remove moves a
// bounded share of the records at its end into the gaps before them
// (compaction), so that the file shrinks as the batch does.
//
// Every failure leaves the store as it was before the call: a page that
// could not be written is not stored, and the pages stored before are
// intact. A record that does not read back or check out is reported
// (ReadFailed, Corrupt), never returned as a wrong picture.
//
// Not thread-safe: one thread at a time, Get included (it shares the
// store's decoder and page file).
#include <cstddef>
#include <cstdint>
#include <map>
#include <memory>
#include <unordered_map>
#include <vector>

#include "imaging/lu_bitmap.h"
#include "page_store/page_file.h"
#include "page_store/page_store_error.h"
#include "page_store/pixel_codec.h"

namespace pagewell {

class TPageStore {
 public:
  using TKey = std::uint32_t;  // 0 is never a stored page

  TPageStore(TPageFileOpener openFile, std::size_t memoryBudgetBytes);
  ~TPageStore();
  TPageStore(const TPageStore&) = delete;
  TPageStore& operator=(const TPageStore&) = delete;

  // Stores the page (moved in) under a new key. On failure (OutOfMemory,
  // WriteFailed, DiskFull) the page is not stored and `key` is left alone.
  TPageStoreError Put(TluBitmap page, TKey& key);
  // An exact copy of the stored page. On failure (NoSuchPage, ReadFailed,
  // Corrupt, OutOfMemory) `page` is left alone.
  TPageStoreError Get(TKey key, TluBitmap& page) const;
  // Stores `page` in place of the page under `key`; on failure the old
  // record stays intact.
  TPageStoreError Replace(TKey key, TluBitmap page);
  // Forgets the page; unknown keys are ignored.
  void Remove(TKey key);
  // Forgets every page, frees all memory and file space and drops (closes)
  // the page file; a later page beyond the budget opens a new one.
  void Clear();

  // Applies to pages stored from now on; pages already in memory stay there.
  void SetMemoryBudget(std::size_t bytes) { memoryBudget_ = bytes; }

  bool Contains(TKey key) const;
  std::size_t Count() const;
  // Bytes of the coded records held in memory (the budget counts these; the
  // shells come on top: a few hundred bytes each, more for pages carrying
  // an ICC profile, an alpha plane or a selection mask).
  std::size_t MemoryBytes() const;
  // Bytes of the page file in use by the store, free gaps included (the
  // file is cut to this length).
  std::uint64_t FileBytes() const;
  // The free gaps among them, ready for reuse.
  std::uint64_t FreeFileBytes() const;

 private:
  struct TRecord {
    TluBitmap shell;                  // the page without its pixels
    std::vector<std::uint8_t> bytes;  // the record, when in memory
    bool inFile = false;
    std::uint64_t offset = 0;  // in the file
    std::uint64_t size = 0;    // of the record
  };

  // Codes the page's pixels and moves the page into a shell. The page is
  // kept when coding fails.
  TPageStoreError MakeRecord(TluBitmap& page, TRecord& record);
  // Puts the coded record in memory or in the file. `freedMemory` is memory
  // that the caller frees on success (the record replaced).
  TPageStoreError Place(TRecord& record, std::size_t freedMemory);
  // File space: first fit among the free gaps, or at the end.
  std::uint64_t Allocate(std::uint64_t size);
  void Free(std::uint64_t offset, std::uint64_t size);
  void Release(TRecord& record);
  TKey NextKey();
  // Compaction: while most of the file is free, moves records from the
  // file's end into gaps before them, up to a bounded number of bytes.
  void CompactSome();
  bool MostOfTheFileIsFree() const;
  // The record stored at the highest offset in the file; null when none.
  TRecord* LastRecordInFile();
  // Moves the record into the first gap before it that fits; false when
  // there is none or the move failed (the record then stays where it was).
  bool MoveEarlier(TRecord& record);

  TPageFileOpener openFile_;
  std::size_t memoryBudget_;
  std::unordered_map<TKey, TRecord> records_;
  std::unique_ptr<IPageFile> file_;
  std::map<std::uint64_t, std::uint64_t> freeSpace_;  // offset -> size
  std::uint64_t fileEnd_ = 0;
  std::uint64_t truncatedAt_ = 0;  // the length the file was last cut to
  std::uint64_t freeBytes_ = 0;
  std::size_t memoryBytes_ = 0;
  TKey lastKey_ = 0;
  mutable TPixelCodec codec_;
};

}  // namespace pagewell
