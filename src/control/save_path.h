#pragma once
// Where a file name that the page gives lands: always inside the documents
// folder. The name is resolved as the platform would resolve it, and a name
// that would leave the folder (".." above it, a drive, a UNC or rooted path,
// a stream suffix "a.pdf:x"), that names a device (CON, NUL, COM1, ...),
// that holds characters file names cannot hold, or whose path would be
// longer than the platform allows is refused with a message saying why.
// Sub-folders inside the documents folder are allowed.
#include <string>
#include <string_view>
#include <vector>

namespace pagewell {

struct SavePath {
  // Empty when the name is refused.
  std::wstring path;
  // The folders between the documents folder and the file, outermost
  // first, as full paths (for creating the missing ones).
  std::vector<std::wstring> folders;
  // Why the name was refused; empty when it was not.
  std::wstring error;
};

// Longest path the platform's file functions take (MAX_PATH less the
// terminating zero).
constexpr size_t kMaxPathLength = 259;

SavePath ResolveSavePath(std::wstring_view documentsFolder, std::wstring_view fileName);

}  // namespace pagewell
