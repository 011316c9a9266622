#pragma once
// The MIME type that goes with a file extension. Where a type is registered
// is the platform's business; the rules around the lookup are the same
// everywhere and live here.
#include <functional>
#include <string>

namespace pagewell {

// What the platform has registered for an extension given with its dot
// (".pcx"); empty when nothing is registered or the registry can't be read.
using RegisteredContentType = std::function<std::string(const std::string& dottedExtension)>;

inline constexpr char kFallbackContentType[] = "application/octet-stream";

// `extension` with or without its leading "."; shorter than two characters,
// unregistered or registered as empty gives kFallbackContentType.
std::string ContentTypeForExtension(const std::string& extension, const RegisteredContentType& registered);

}  // namespace pagewell
