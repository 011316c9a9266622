#pragma once
// Which files a page may have the control write (portable, no Windows).
//
// A page chooses the name of every file the control writes for it (the
// local save, the saved upload reply). A name with a program's or a
// script's type would put a file in the user's documents folder that one
// double-click runs with the user's rights, so those types are refused,
// and so is a name without any type, which the shell may still run or
// open by guessing. The type is judged as the platform will see it: the
// last part of the path, without the trailing dots and spaces that the
// file system drops, compared without regard to case.
#include <optional>
#include <string>
#include <string_view>

namespace pagewell {

// The message for a refused name (the whole name or path the page gave);
// nothing when the name may be written.
std::optional<std::wstring> RefusedFileTypeMessage(std::wstring_view fileName);

}  // namespace pagewell
