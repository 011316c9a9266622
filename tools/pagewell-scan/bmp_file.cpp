#include "bmp_file.h"

#include <fstream>

#include "formats/memory_stream.h"

namespace pagewell_scan {

bool WriteBmpFile(const pagewell::TBMPImage& image, const std::string& path) {
  pagewell::TMemoryStream stream;
  image.SaveToStream(stream);
  std::ofstream out(path, std::ios::binary);
  out.write(reinterpret_cast<const char*>(stream.Data()), static_cast<std::streamsize>(stream.Size()));
  return static_cast<bool>(out);
}

}  // namespace pagewell_scan
