#include "formats/tiff/tif_list.h"

#include <algorithm>

#include "formats/tiff/tiff_directory_writer.h"

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

// The offsets in a TIFF file count from its first byte; a fresh stream is
// that file, and the pages go straight into it. Anywhere else the file is
// built apart and then copied in.
void TTIFList::SaveToStream(TMemoryStream& stream) const {
  if (stream.Size() != 0 || stream.Position() != 0) {
    const std::vector<std::uint8_t> bytes = SaveToBytes();
    stream.Write(bytes.data(), bytes.size());
    return;
  }
  stream.Reserve(8 + EncodedSize());
  WriteTiffHeader(stream);
  std::size_t previousLink = 0;  // none before the first page: the header points at 8
  for (const auto& page : pages_) {
    const auto directoryOffset = static_cast<std::uint32_t>(stream.Size());
    if (previousLink != 0) {
      stream.Seek(previousLink);
      stream.WriteU32LE(directoryOffset);
      stream.Seek(stream.Size());
    }
    previousLink = page->AppendDirectory(stream);
  }
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
