#pragma once
// What can go wrong when a page is stored or fetched (see page_store.h).
#include <string>

namespace pagewell {

enum class TPageStoreError {
  None,
  WriteFailed,  // the temporary file could not be created or written
  DiskFull,     // the temporary file's disk is full
  ReadFailed,   // the temporary file could not be read
  Corrupt,      // the stored record does not check out (never a wrong picture)
  NoSuchPage,   // no page is stored under the key
  OutOfMemory,  // no memory for coding the page
};

// A short English message for the user, one sentence.
std::string PageStoreErrorText(TPageStoreError error);

}  // namespace pagewell
