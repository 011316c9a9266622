#include "page_store/page_store.h"

#include <new>
#include <utility>

namespace pagewell {
namespace {

// Compaction starts once free gaps are more than half of a file of at
// least this size (a small file is not worth moving records for) ...
constexpr std::uint64_t kCompactionMinimumFile = 4u << 20;
// ... and each store call moves at most this many bytes, so that no call
// waits long on the disk: about one colour page a call.
constexpr std::uint64_t kCompactionBytesPerCall = 8u << 20;

// What the seam reported, as the store reports it for a write.
TPageStoreError WriteError(TPageStoreError error) {
  return error == TPageStoreError::DiskFull ? TPageStoreError::DiskFull : TPageStoreError::WriteFailed;
}

}  // namespace

TPageStore::TPageStore(TPageFileOpener openFile, std::size_t memoryBudgetBytes)
    : openFile_(std::move(openFile)), memoryBudget_(memoryBudgetBytes) {}

TPageStore::~TPageStore() = default;

TPageStoreError TPageStore::MakeRecord(TluBitmap& page, TRecord& record) {
  std::vector<std::uint8_t> bytes;
  const TPageStoreError error = codec_.Encode(page, bytes);
  if (error != TPageStoreError::None) return error;
  record.size = bytes.size();
  record.bytes = std::move(bytes);
  record.shell = std::move(page);
  record.shell.ReleasePixels();  // and drops them: the record holds them now
  return TPageStoreError::None;
}

TPageStoreError TPageStore::Place(TRecord& record, std::size_t freedMemory) {
  if (memoryBytes_ - freedMemory + record.size <= memoryBudget_) {
    record.inFile = false;
    memoryBytes_ += static_cast<std::size_t>(record.size);
    return TPageStoreError::None;
  }
  if (!file_) {
    if (openFile_) file_ = openFile_();
    if (!file_) return TPageStoreError::WriteFailed;
  }
  const std::uint64_t offset = Allocate(record.size);
  const TPageStoreError error = file_->Write(offset, record.bytes.data(), record.bytes.size());
  if (error != TPageStoreError::None) {
    Free(offset, record.size);
    return WriteError(error);
  }
  record.inFile = true;
  record.offset = offset;
  std::vector<std::uint8_t>().swap(record.bytes);
  return TPageStoreError::None;
}

std::uint64_t TPageStore::Allocate(std::uint64_t size) {
  for (auto gap = freeSpace_.begin(); gap != freeSpace_.end(); ++gap) {
    if (gap->second < size) continue;
    const std::uint64_t offset = gap->first, left = gap->second - size;
    freeSpace_.erase(gap);
    if (left > 0) freeSpace_.emplace(offset + size, left);
    freeBytes_ -= size;
    return offset;
  }
  const std::uint64_t offset = fileEnd_;
  fileEnd_ += size;
  if (fileEnd_ > truncatedAt_) truncatedAt_ = fileEnd_;
  return offset;
}

void TPageStore::Free(std::uint64_t offset, std::uint64_t size) {
  if (size == 0) return;
  freeBytes_ += size;
  // Joins the gaps before and after.
  auto next = freeSpace_.lower_bound(offset);
  if (next != freeSpace_.end() && offset + size == next->first) {
    size += next->second;
    next = freeSpace_.erase(next);
  }
  if (next != freeSpace_.begin()) {
    auto before = std::prev(next);
    if (before->first + before->second == offset) {
      offset = before->first;
      size += before->second;
      freeSpace_.erase(before);
    }
  }
  // A gap at the end is no gap: the file is used up to the last record,
  // and the rest goes back to the disk.
  if (offset + size == fileEnd_) {
    fileEnd_ = offset;
    freeBytes_ -= size;
    if (file_ && fileEnd_ < truncatedAt_) {
      file_->Truncate(fileEnd_);
      truncatedAt_ = fileEnd_;
    }
    return;
  }
  freeSpace_.emplace(offset, size);
}

void TPageStore::Release(TRecord& record) {
  if (record.inFile) {
    Free(record.offset, record.size);
  } else {
    memoryBytes_ -= static_cast<std::size_t>(record.size);
  }
  std::vector<std::uint8_t>().swap(record.bytes);
  record.inFile = false;
  record.size = 0;
}

TPageStore::TKey TPageStore::NextKey() {
  do {
    ++lastKey_;
  } while (lastKey_ == 0 || records_.count(lastKey_) != 0);
  return lastKey_;
}

bool TPageStore::MostOfTheFileIsFree() const {
  return file_ && fileEnd_ >= kCompactionMinimumFile && freeBytes_ > fileEnd_ / 2;
}

TPageStore::TRecord* TPageStore::LastRecordInFile() {
  TRecord* last = nullptr;
  for (auto& entry : records_)
    if (entry.second.inFile && (!last || entry.second.offset > last->offset)) last = &entry.second;
  return last;
}

bool TPageStore::MoveEarlier(TRecord& record) {
  auto gap = freeSpace_.begin();
  while (gap != freeSpace_.end() && gap->first < record.offset && gap->second < record.size) ++gap;
  if (gap == freeSpace_.end() || gap->first >= record.offset) return false;
  const std::uint64_t target = gap->first;
  std::vector<std::uint8_t> bytes;
  try {
    bytes.resize(static_cast<std::size_t>(record.size));
  } catch (const std::bad_alloc&) {
    return false;
  }
  // The record is read and written whole before it is told its new place:
  // a failure on the way leaves it readable where it was.
  if (file_->Read(record.offset, bytes.data(), bytes.size()) != TPageStoreError::None) return false;
  const std::uint64_t taken = Allocate(record.size);
  if (taken != target || file_->Write(target, bytes.data(), bytes.size()) != TPageStoreError::None) {
    Free(taken, record.size);
    return false;
  }
  const std::uint64_t old = record.offset;
  record.offset = target;
  Free(old, record.size);
  return true;
}

void TPageStore::CompactSome() {
  std::uint64_t moved = 0;
  while (moved < kCompactionBytesPerCall && MostOfTheFileIsFree()) {
    TRecord* last = LastRecordInFile();
    if (!last || !MoveEarlier(*last)) return;
    moved += last->size;
  }
}

TPageStoreError TPageStore::Put(TluBitmap page, TKey& key) {
  CompactSome();
  TRecord record;
  TPageStoreError error = MakeRecord(page, record);
  if (error != TPageStoreError::None) return error;
  error = Place(record, 0);
  if (error != TPageStoreError::None) return error;
  try {
    const TKey newKey = NextKey();
    records_.emplace(newKey, std::move(record));
    key = newKey;
    return TPageStoreError::None;
  } catch (const std::bad_alloc&) {
    Release(record);
    return TPageStoreError::OutOfMemory;
  }
}

TPageStoreError TPageStore::Get(TKey key, TluBitmap& page) const {
  const auto found = records_.find(key);
  if (found == records_.end()) return TPageStoreError::NoSuchPage;
  const TRecord& record = found->second;
  try {
    std::vector<std::uint8_t> read;
    const std::uint8_t* bytes = record.bytes.data();
    if (record.inFile) {
      if (!file_) return TPageStoreError::ReadFailed;
      read.resize(static_cast<std::size_t>(record.size));
      if (file_->Read(record.offset, read.data(), read.size()) != TPageStoreError::None) {
        return TPageStoreError::ReadFailed;
      }
      bytes = read.data();
    }
    TRaster::TPixelBytes pixels;
    const TPageStoreError error = codec_.Decode(bytes, static_cast<std::size_t>(record.size), record.shell, pixels);
    if (error != TPageStoreError::None) return error;
    std::vector<std::uint8_t>().swap(read);
    TluBitmap copy = record.shell;
    if (!copy.AdoptPixels(std::move(pixels))) return TPageStoreError::Corrupt;
    page = std::move(copy);
    return TPageStoreError::None;
  } catch (const std::bad_alloc&) {
    return TPageStoreError::OutOfMemory;
  }
}

TPageStoreError TPageStore::Replace(TKey key, TluBitmap page) {
  CompactSome();
  const auto found = records_.find(key);
  if (found == records_.end()) return TPageStoreError::NoSuchPage;
  TRecord& old = found->second;
  TRecord record;
  TPageStoreError error = MakeRecord(page, record);
  if (error != TPageStoreError::None) return error;
  // The new record is placed while the old one still holds its place, so
  // that a failure leaves the old one as it was.
  error = Place(record, old.inFile ? 0 : static_cast<std::size_t>(old.size));
  if (error != TPageStoreError::None) return error;
  Release(old);
  old = std::move(record);
  return TPageStoreError::None;
}

void TPageStore::Remove(TKey key) {
  const auto found = records_.find(key);
  if (found == records_.end()) return;
  Release(found->second);
  records_.erase(found);
  CompactSome();
}

void TPageStore::Clear() {
  std::unordered_map<TKey, TRecord>().swap(records_);
  freeSpace_.clear();
  fileEnd_ = 0;
  truncatedAt_ = 0;
  freeBytes_ = 0;
  memoryBytes_ = 0;
  file_.reset();
  codec_.Release();
}

bool TPageStore::Contains(TKey key) const { return records_.count(key) != 0; }
std::size_t TPageStore::Count() const { return records_.size(); }
std::size_t TPageStore::MemoryBytes() const { return memoryBytes_; }
std::uint64_t TPageStore::FileBytes() const { return fileEnd_; }
std::uint64_t TPageStore::FreeFileBytes() const { return freeBytes_; }

}  // namespace pagewell
