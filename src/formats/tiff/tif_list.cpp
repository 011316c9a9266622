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
  WriteTiffHeader(file);
  std::size_t previousLink = 0;  // none before the first page: the header points at 8
  for (const auto& page : pages_) {
    const auto directoryOffset = static_cast<std::uint32_t>(file.Size());
    if (previousLink != 0) {
      file.Seek(previousLink);
      file.WriteU32LE(directoryOffset);
      file.Seek(file.Size());
    }
    previousLink = page->AppendDirectory(file);
  }
  return file.Bytes();
}

void TTIFList::SaveToStream(TMemoryStream& stream) const {
  const std::vector<std::uint8_t> bytes = SaveToBytes();
  stream.Write(bytes.data(), bytes.size());
}

}  // namespace pagewell
