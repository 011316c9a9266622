#pragma once
// The multipart/form-data request body of an upload: the page script's form
// variables, then the encoded file, between delimiter lines of one fixed
// boundary. Nothing is escaped: names, values and the file name go out byte
// for byte, quotation marks and line breaks included.
#include <cstdint>
#include <string>
#include <vector>

#include "formats/memory_stream.h"
#include "upload/content_type.h"
#include "upload/upload_data.h"

namespace pagewell {

// 27 hyphen-minus characters and a fixed tail: 41 characters.
inline constexpr char kMultipartBoundary[] = "---------------------------a27dd43b872682";
// The request header that announces the body (no line end).
inline constexpr char kMultipartHeader[] =
    "Content-type: multipart/form-data; boundary=---------------------------a27dd43b872682";

// The content type of the file part for a file-format code; PCX, PSD and
// unknown codes go by the extension of `fileName` (from its last "." on).
std::string ContentTypeForFormat(int format, const std::string& fileName, const RegisteredContentType& registered);

// The text of the body around the file: the form variables and the file
// part's heading before it, its line end and the closing delimiter after
// it. A file of `fileSize` 0 gives no file part at all. Arguments as for
// BuildMultipartBody.
struct TMultipartFrame {
  std::string beforeFile;
  std::string afterFile;
};
TMultipartFrame MakeMultipartFrame(std::uint64_t fileSize, const std::vector<std::string>& formVars,
                                   const std::string& fileName, const std::string& fieldName, int format,
                                   const RegisteredContentType& registered);

// The whole request body read piece by piece: the frame's text from
// memory, the file's bytes from the file as each piece needs them. The
// file must outlive the body.
class TMultipartBody final : public TUploadData {
 public:
  TMultipartBody(TMultipartFrame frame, TUploadData& file) : frame_(std::move(frame)), file_(file) {}
  std::uint64_t Size() const override;
  bool ReadAt(std::uint64_t offset, std::uint8_t* into, std::size_t count) override;

 private:
  TMultipartFrame frame_;
  TUploadData& file_;
};

// Empties `body` and fills it with the whole request body, position 0, and
// sets `header` to kMultipartHeader. `formVars` holds "name=value" texts: the
// name ends at the first "=", the rest is the value (an entry without "="
// is all name). `data` is the encoded file, read whole from its start; an
// empty file gives no file part at all. `fieldName` names the file part.
void BuildMultipartBody(TMemoryStream& body, const TMemoryStream& data, std::string& header,
                        const std::vector<std::string>& formVars, const std::string& fileName,
                        const std::string& fieldName, int format, const RegisteredContentType& registered);

}  // namespace pagewell
