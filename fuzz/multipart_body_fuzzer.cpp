// Feeds arbitrary form variables, file names, field names, registered
// content types and file bytes to the multipart body builder. The body must
// be built without a crash, carry the file byte for byte right before the
// closing delimiter line, end with that line, and hold every variable's
// name and value as given.
//
// Input: one byte for the format code, then pieces separated by 0xFF bytes:
// file name, field name, the type the registry answers, form variables...,
// and the file's bytes as the last piece.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

#include "upload/multipart_body.h"

namespace {

std::vector<std::string> Pieces(const std::uint8_t* data, std::size_t size) {
  std::vector<std::string> pieces(1);
  for (std::size_t i = 0; i < size; ++i) {
    if (data[i] == 0xFF) {
      pieces.emplace_back();
    } else {
      pieces.back() += static_cast<char>(data[i]);
    }
  }
  return pieces;
}

bool EndsWith(const std::vector<std::uint8_t>& bytes, const std::string& tail) {
  return bytes.size() >= tail.size() && std::memcmp(bytes.data() + bytes.size() - tail.size(), tail.data(), tail.size()) == 0;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  using namespace pagewell;
  if (size < 1) return 0;
  const int format = static_cast<int>(data[0] % 12) - 1;
  std::vector<std::string> pieces = Pieces(data + 1, size - 1);
  while (pieces.size() < 4) pieces.emplace_back();
  const std::string fileName = pieces[0], fieldName = pieces[1], registeredType = pieces[2];
  const std::string file = pieces.back();
  const std::vector<std::string> formVars(pieces.begin() + 3, pieces.end() - 1);

  const RegisteredContentType registered = [&](const std::string& extension) {
    if (extension.empty() || extension[0] != '.') std::abort();
    return registeredType;
  };
  TMemoryStream fileStream(std::vector<std::uint8_t>(file.begin(), file.end()));
  TMemoryStream body;
  std::string header;
  BuildMultipartBody(body, fileStream, header, formVars, fileName, fieldName, format, registered);

  if (header != kMultipartHeader) std::abort();
  if (body.Position() != 0) std::abort();
  const std::string closing = std::string("--") + kMultipartBoundary + "--\r\n";
  const std::vector<std::uint8_t>& bytes = body.Bytes();
  if (!EndsWith(bytes, closing)) std::abort();
  if (!file.empty() && !EndsWith(bytes, file + "\r\n" + closing)) std::abort();
  // Every variable's name and value go out as given.
  const std::string text(bytes.begin(), bytes.end());
  for (const std::string& entry : formVars) {
    const std::size_t equals = entry.find('=');
    if (text.find('"' + entry.substr(0, equals) + "\"\r\n\r\n") == std::string::npos) std::abort();
    if (equals != std::string::npos && text.find(entry.substr(equals + 1) + "\r\n") == std::string::npos) std::abort();
  }
  return 0;
}
