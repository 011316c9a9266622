// Feeds arbitrary bytes to the TIFF reader: parsing every page the file
// links to and decoding it must end in a picture or an EInvalidGraphic,
// never in a crash, a read outside the buffer, an endless loop or a huge
// allocation.
#include <cstddef>
#include <cstdint>
#include <vector>

#include "formats/tiff/tif_image.h"
#include "formats/tiff/tiff_directory_reader.h"
#include "imaging/errors.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  using namespace pagewell;
  const std::vector<std::uint8_t> file(data, data + size);
  int pages = 1;
  try {
    pages = CountTiffPages(file);
  } catch (const EInvalidGraphic&) {
  }
  for (int page = 1; page <= pages && page <= 4; ++page) {
    try {
      TTIFImage tif;
      tif.PageToRead = static_cast<std::uint32_t>(page);
      tif.LoadFromBytes(file);
      TRaster raster;
      tif.AssignTo(raster);
    } catch (const EInvalidGraphic&) {
    }
  }
  return 0;
}
