#pragma once
// Writes a scanned page as a Windows BMP file: the DIB the scanner sent,
// rows bottom-up, with the page's palette and resolution.
#include <string>

#include "formats/bmp/bmp_image.h"

namespace pagewell_scan {

// False when the file cannot be written.
bool WriteBmpFile(const pagewell::TBMPImage& image, const std::string& path);

}  // namespace pagewell_scan
