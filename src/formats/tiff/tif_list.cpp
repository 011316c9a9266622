#include "formats/tiff/tif_list.h"

#include <algorithm>

#include "formats/tiff/tiff_stream_writer.h"

namespace pagewell {

void TTIFList::Add(std::unique_ptr<TTIFImage> page, int position) {
  if (!page) return;
  if (position == 1 || pages_.empty()) {
    pages_.insert(pages_.begin(), std::move(page));
  } else if (position >= 2) {
    const std::size_t at = std::min(static_cast<std::size_t>(position - 1), pages_.size());
    pages_.insert(pages_.begin() + static_cast<std::ptrdiff_t>(at), std::move(page));
  } else {
    pages_.push_back(std::move(page));
  }
}

TTIFImage* TTIFList::Item(int index) const {
  if (index < 1 || index > Count()) return nullptr;
  return pages_[static_cast<std::size_t>(index - 1)].get();
}

std::vector<std::uint8_t> TTIFList::SaveToBytes() const {
  TMemoryStream file;
  SaveToStream(file);
  return file.TakeBytes();
}

// Written through the same page-by-page writer as a file that streams to
// its destination, so both make the same bytes. The writer's offsets count
// from its own first byte, so the file may go anywhere in the stream.
void TTIFList::SaveToStream(TMemoryStream& stream) const {
  if (stream.Position() == stream.Size()) stream.Reserve(8 + EncodedSize());
  TMemoryStreamSink sink(stream);
  TTiffStreamWriter writer(sink, Count());
  for (const auto& page : pages_) writer.Add(*page);
}

// What the pages take in the file: their data, and room for a directory
// with its resolutions and bits per sample (metadata may need more).
std::size_t TTIFList::EncodedSize() const {
  constexpr std::size_t kDirectoryRoom = 512;
  std::size_t size = 0;
  for (const auto& page : pages_) size += page->StripData().size() + 2 * page->ColorMap().size() + kDirectoryRoom;
  return size;
}

}  // namespace pagewell
