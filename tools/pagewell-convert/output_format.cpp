#include "output_format.h"

#include <cctype>

namespace pagewell::convert {
namespace {

std::string UpperCase(std::string text) {
  for (char& c : text) c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
  return text;
}

// From the last dot of the file name (not of a folder name), as the
// platform's file-name functions split it.
std::string ExtensionOf(const std::string& path) {
  const std::size_t slash = path.find_last_of("/\\");
  const std::size_t dot = path.find_last_of('.');
  if (dot == std::string::npos || (slash != std::string::npos && dot < slash)) return "";
  return path.substr(dot);
}

}  // namespace

TFormatCode ResolveOutputFormat(const std::optional<std::string>& format, const std::string& outputPath) {
  TFormatCode code = format ? FormatForExtension("." + UpperCase(*format)) : fcNone;
  if (code == fcNone) code = FormatForExtension(UpperCase(ExtensionOf(outputPath)));
  return code == fcNone ? fcPDF : code;
}

}  // namespace pagewell::convert
