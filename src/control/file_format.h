#pragma once
// The output format selector (FileFormat) and the output extension of a
// file name (FileNameExtension).
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

}  // namespace pagewell
