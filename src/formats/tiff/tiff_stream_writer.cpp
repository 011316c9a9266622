#include "formats/tiff/tiff_stream_writer.h"

#include <limits>

#include "formats/tiff/tiff_directory_writer.h"

namespace pagewell {

TTiffStreamWriter::TTiffStreamWriter(TByteSink& sink, int pageCount) : sink_(sink), pageCount_(pageCount) {
  TMemoryStream header;
  WriteTiffHeader(header);
  sink_.Write(header);
  position_ = header.Size();
}

void TTiffStreamWriter::Add(const TTIFImage& page) {
  if (written_ >= pageCount_) throw EStreamError("More TIFF pages than announced");
  if (position_ > std::numeric_limits<std::uint32_t>::max()) throw EStreamError("The TIFF file passes 4 GB");
  const auto at = static_cast<std::uint32_t>(position_);
  TMemoryStream block;
  const std::uint32_t nextLink = page.AppendDirectory(block, at);
  const std::uint64_t next = position_ + block.Size();
  if (next > std::numeric_limits<std::uint32_t>::max()) throw EStreamError("The TIFF file passes 4 GB");
  ++written_;
  if (written_ < pageCount_) {
    block.Seek(nextLink);
    block.WriteU32LE(static_cast<std::uint32_t>(next));
  }
  sink_.Write(block);
  position_ = next;
}

}  // namespace pagewell
