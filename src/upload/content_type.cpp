#include "upload/content_type.h"

namespace pagewell {

std::string ContentTypeForExtension(const std::string& extension, const RegisteredContentType& registered) {
  if (extension.size() < 2 || !registered) return kFallbackContentType;
  const std::string dotted = extension.front() == '.' ? extension : "." + extension;
  std::string type = registered(dotted);
  return type.empty() ? kFallbackContentType : type;
}

}  // namespace pagewell
