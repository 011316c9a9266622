// Feeds arbitrary bytes to the BMP reader (the files pagewell-convert and
// the control open). Any input must end in a picture or an EInvalidGraphic
// or ERasterError, never a crash, an out-of-bounds read or an allocation
// larger than the file justifies. A picture that loads must be written and
// read back with the same size and format.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <vector>

#include "formats/bmp/bmp_image.h"
#include "imaging/errors.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  using namespace pagewell;
  TMemoryStream stream(std::vector<std::uint8_t>(data, data + size));
  TBMPImage bmp;
  try {
    bmp.LoadFromStream(stream);
  } catch (const EInvalidGraphic&) {
    return 0;
  } catch (const ERasterError&) {
    return 0;
  }
  if (stream.Position() > stream.Size()) std::abort();
  TMemoryStream saved;
  bmp.SaveToStream(saved);
  saved.Seek(0);
  TBMPImage back;
  back.LoadFromStream(saved);
  if (back.Width() != bmp.Width() || back.Height() != bmp.Height() || back.PixelFormat() != bmp.PixelFormat())
    std::abort();
  return 0;
}
