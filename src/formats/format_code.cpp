#include "formats/format_code.h"

#include <utility>

namespace pagewell {

TFormatCode FormatForExtension(std::string_view upperCaseExtension) {
  static const std::pair<std::string_view, TFormatCode> kExtensions[] = {
      {".BMP", fcBMP},  {".GIF", fcGIF},  {".JPG", fcJPEG},  {".JPEG", fcJPEG}, {".JPE", fcJPEG},
      {".PCX", fcPCX},  {".TIF", fcTIFF}, {".TIFF", fcTIFF}, {".PNG", fcPNG},   {".PSD", fcPSD},
      {".WBM", fcWBMP}, {".WBMP", fcWBMP}, {".PDF", fcPDF}};
  for (const auto& [extension, code] : kExtensions) {
    if (upperCaseExtension == extension) return code;
  }
  return fcNone;
}

}  // namespace pagewell
