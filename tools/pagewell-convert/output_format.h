#pragma once
// The output format code: from --format, or from OUTPUT's extension the way
// the control resolves its file name; an unknown extension gives PDF.
#include <optional>
#include <string>

#include "formats/format_code.h"

namespace pagewell::convert {

TFormatCode ResolveOutputFormat(const std::optional<std::string>& format, const std::string& outputPath);

}  // namespace pagewell::convert
