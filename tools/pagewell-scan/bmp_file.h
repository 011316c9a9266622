#pragma once
// Saves a scanned page as a BMP file through the image's own BMP writer.
#include <string>

#include "formats/bmp/bmp_image.h"

namespace pagewell_scan {

// False when the file cannot be written.
bool WriteBmpFile(const pagewell::TBMPImage& image, const std::string& path);

}  // namespace pagewell_scan
