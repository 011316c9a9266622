#include "upload/multipart_body.h"

#include "formats/format_code.h"

namespace pagewell {
namespace {

const std::string kLineEnd = "\r\n";
const std::string kDelimiterLine = std::string("--") + kMultipartBoundary;

std::string quoted(const std::string& text) { return '"' + text + '"'; }

std::string extensionOf(const std::string& fileName) {
  const std::size_t dot = fileName.rfind('.');
  return dot == std::string::npos ? std::string() : fileName.substr(dot);
}

std::string variablePart(const std::string& entry) {
  const std::size_t equals = entry.find('=');
  const std::string name = entry.substr(0, equals);
  const std::string value = equals == std::string::npos ? std::string() : entry.substr(equals + 1);
  return kDelimiterLine + kLineEnd +
         "Content-Disposition: form-data; name=" + quoted(name) + kLineEnd +
         kLineEnd +
         value + kLineEnd;
}

std::string fileHeading(const std::string& fieldName, const std::string& fileName, const std::string& type) {
  return kDelimiterLine + kLineEnd +
         "Content-Disposition: form-data; name=" + quoted(fieldName) + "; filename=" + quoted(fileName) +
         kLineEnd +
         "Content-Type: " + type + kLineEnd +
         kLineEnd;
}

}  // namespace

std::string ContentTypeForFormat(int format, const std::string& fileName, const RegisteredContentType& registered) {
  switch (format) {
    case fcBMP: return "image/bmp";
    case fcGIF: return "image/gif";
    case fcJPEG: return "image/jpeg";
    case fcTIFF: return "image/tiff";
    case fcPNG: return "image/png";
    case fcWBMP: return "image/vnd.wap.wbmp";
    case fcPDF: return "application/pdf";
    default: return ContentTypeForExtension(extensionOf(fileName), registered);
  }
}

void BuildMultipartBody(TMemoryStream& body, const TMemoryStream& data, std::string& header,
                        const std::vector<std::string>& formVars, const std::string& fileName,
                        const std::string& fieldName, int format, const RegisteredContentType& registered) {
  header = kMultipartHeader;

  std::string text;
  for (const std::string& entry : formVars) text += variablePart(entry);
  const bool withFile = data.Size() > 0;
  if (withFile) text += fileHeading(fieldName, fileName, ContentTypeForFormat(format, fileName, registered));
  const std::string closing = kDelimiterLine + "--" + kLineEnd;

  // The file is copied once, straight into the body: the body and the
  // encoded file are the only two copies held while an upload runs.
  std::vector<std::uint8_t> bytes;
  bytes.reserve(text.size() + (withFile ? data.Size() + kLineEnd.size() : 0) + closing.size());
  bytes.insert(bytes.end(), text.begin(), text.end());
  if (withFile) {
    bytes.insert(bytes.end(), data.Bytes().begin(), data.Bytes().end());
    bytes.insert(bytes.end(), kLineEnd.begin(), kLineEnd.end());
  }
  bytes.insert(bytes.end(), closing.begin(), closing.end());
  body = TMemoryStream(std::move(bytes));
}

}  // namespace pagewell
