#include "upload/multipart_body.h"

#include <algorithm>

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

TMultipartFrame MakeMultipartFrame(std::uint64_t fileSize, const std::vector<std::string>& formVars,
                                   const std::string& fileName, const std::string& fieldName, int format,
                                   const RegisteredContentType& registered) {
  TMultipartFrame frame;
  for (const std::string& entry : formVars) frame.beforeFile += variablePart(entry);
  const bool withFile = fileSize > 0;
  if (withFile) {
    frame.beforeFile += fileHeading(fieldName, fileName, ContentTypeForFormat(format, fileName, registered));
    frame.afterFile = kLineEnd;
  }
  frame.afterFile += kDelimiterLine + "--" + kLineEnd;
  return frame;
}

std::uint64_t TMultipartBody::Size() const {
  return frame_.beforeFile.size() + file_.Size() + frame_.afterFile.size();
}

// The wanted range may span the text before the file, the file and the text
// after it: each part gives what lies in the range.
bool TMultipartBody::ReadAt(std::uint64_t offset, std::uint8_t* into, std::size_t count) {
  if (offset > Size() || count > Size() - offset) return false;
  const std::uint64_t fileStart = frame_.beforeFile.size();
  const std::uint64_t fileEnd = fileStart + file_.Size();
  const std::uint64_t end = offset + count;
  for (std::uint64_t at = offset; at < end;) {
    std::uint64_t partEnd = 0;
    if (at < fileStart) {
      partEnd = std::min(end, fileStart);
      std::copy(frame_.beforeFile.begin() + static_cast<std::ptrdiff_t>(at),
                frame_.beforeFile.begin() + static_cast<std::ptrdiff_t>(partEnd), into + (at - offset));
    } else if (at < fileEnd) {
      partEnd = std::min(end, fileEnd);
      if (!file_.ReadAt(at - fileStart, into + (at - offset), static_cast<std::size_t>(partEnd - at))) return false;
    } else {
      partEnd = end;
      std::copy(frame_.afterFile.begin() + static_cast<std::ptrdiff_t>(at - fileEnd),
                frame_.afterFile.begin() + static_cast<std::ptrdiff_t>(end - fileEnd), into + (at - offset));
    }
    at = partEnd;
  }
  return true;
}

void BuildMultipartBody(TMemoryStream& body, const TMemoryStream& data, std::string& header,
                        const std::vector<std::string>& formVars, const std::string& fileName,
                        const std::string& fieldName, int format, const RegisteredContentType& registered) {
  header = kMultipartHeader;
  TMemoryUploadData file(data);
  TMultipartBody whole(MakeMultipartFrame(file.Size(), formVars, fileName, fieldName, format, registered), file);
  // The file is copied once, straight into the body.
  std::vector<std::uint8_t> bytes(static_cast<std::size_t>(whole.Size()));
  whole.ReadAt(0, bytes.data(), bytes.size());
  body = TMemoryStream(std::move(bytes));
}

}  // namespace pagewell
