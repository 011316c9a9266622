#include "page_store/page_store_error.h"

namespace pagewell {

std::string PageStoreErrorText(TPageStoreError error) {
  switch (error) {
    case TPageStoreError::None: return "No error.";
    case TPageStoreError::WriteFailed: return "The page could not be written to the temporary file.";
    case TPageStoreError::DiskFull: return "The disk holding the temporary file is full.";
    case TPageStoreError::ReadFailed: return "The page could not be read back from the temporary file.";
    case TPageStoreError::Corrupt: return "The stored page is damaged and cannot be shown.";
    case TPageStoreError::NoSuchPage: return "There is no such page.";
    case TPageStoreError::OutOfMemory: return "There is not enough memory for the page.";
  }
  return "Unknown page store error.";
}

}  // namespace pagewell
