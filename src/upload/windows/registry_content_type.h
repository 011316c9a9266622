#pragma once
// The MIME type the system registers for a file extension.
#include <string>

namespace pagewell {

// The "Content Type" value under HKEY_CLASSES_ROOT\<dottedExtension>, or
// empty. The key is opened for reading only: a standard user may read the
// registered types but not write them, and the lookup needs nothing more.
std::string RegistryContentType(const std::string& dottedExtension);

}  // namespace pagewell
