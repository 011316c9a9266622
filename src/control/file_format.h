#pragma once
// The output format selector (FileFormat), the output extension of a file
// name (FileNameExtension) and the format code they resolve to.
#include <optional>
#include <string>
#include <string_view>

namespace pagewell {

// The stored form of a FileFormat value ("FileName", "BMP", "TIF", ...), or
// nothing when the value names no format.
std::optional<std::wstring> storedFileFormat(std::wstring_view value);

// The lower-case extension of `fileName` when it is one of the nine output
// extensions (".tif", ".pdf", ...), else an empty string.
std::wstring outputExtension(std::wstring_view fileName);

// The format code of the output (TFormatCode): "." + FileFormat looked up
// among the upper-case extensions (so "TIF" gives TIFF and "FileName"
// nothing), else the upper-cased extension of the file name, else PDF.
int ResolveFileFormat(std::wstring_view fileFormat, std::wstring_view fileName);

}  // namespace pagewell
