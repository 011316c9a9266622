#pragma once
// Writes the mark of the web (zone_identifier.h) onto a file the control
// wrote for a page, as the file's Zone.Identifier stream.
#include <windows.h>

#include <optional>
#include <string>

namespace pagewell {

// Marks the file at `path` as coming from the Internet, from the page at
// `pageAddress` when one is known. Answers ERROR_SUCCESS or the platform's
// error: a file system without streams (FAT, some network shares) cannot
// hold the mark, as it cannot for a browser's downloads either.
DWORD MarkFromTheWeb(const std::wstring& path, const std::optional<std::wstring>& pageAddress);

}  // namespace pagewell
