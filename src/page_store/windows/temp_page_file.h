#pragma once
// The page store's file on Windows: a temporary file of this process in the
// user's temporary folder that only the user can open and that Windows
// deletes when its handle closes, also when the process ends without
// closing it. Should the system fail to delete one (a power cut), the next
// process that opens a page file removes such leftovers.
#include <memory>
#include <string>

#include "page_store/page_file.h"

namespace pagewell {

// The file name prefix and extension of every page file: a leftover is
// recognised by them.
inline constexpr wchar_t kPageFilePrefix[] = L"Pagewell-";
inline constexpr wchar_t kPageFileExtension[] = L".pages";

// A new page file in `folder` (with its trailing backslash); the user's
// temporary folder when empty. Null when it cannot be created.
std::unique_ptr<IPageFile> OpenTempPageFile(const std::wstring& folder = {});

// Deletes the page files in `folder` (the user's temporary folder when
// empty) that no process holds open: what earlier processes left behind.
// A file in use cannot be deleted and stays. Answers how many went.
int RemoveLeftoverPageFiles(const std::wstring& folder = {});

}  // namespace pagewell
