#include "upload/multipart_body.h"

#include <gtest/gtest.h>

#include <map>

#include "formats/format_code.h"

namespace pagewell {
namespace {

const std::string D = "-----------------------------a27dd43b872682";  // the delimiter line
const std::string kClosing = D + "--\r\n";

// A registry that knows two extensions; ".blank" is registered as empty.
std::string fakeRegistry(const std::string& dotted) {
  static const std::map<std::string, std::string> registered{
      {".pcx", "image/x-pcx"}, {".psd", "image/vnd.adobe.photoshop"}, {".blank", ""}};
  auto found = registered.find(dotted);
  return found == registered.end() ? std::string() : found->second;
}

std::string asText(const TMemoryStream& stream) {
  return std::string(stream.Bytes().begin(), stream.Bytes().end());
}

TMemoryStream fileOf(const std::string& bytes) {
  return TMemoryStream(std::vector<std::uint8_t>(bytes.begin(), bytes.end()));
}

std::string build(const std::vector<std::string>& vars, const std::string& file,
                  const std::string& fileName = "scan.tif", const std::string& field = "Pagewell",
                  int format = fcTIFF) {
  TMemoryStream body;
  body.WriteString("left over from before");
  std::string header = "stale";
  BuildMultipartBody(body, fileOf(file), header, vars, fileName, field, format, fakeRegistry);
  EXPECT_EQ(header, "Content-type: multipart/form-data; boundary=---------------------------a27dd43b872682");
  EXPECT_EQ(body.Position(), 0u);
  return asText(body);
}

TEST(MultipartBody, BoundaryIs27HyphensAndAFixedTail) {
  EXPECT_EQ(std::string(kMultipartBoundary).size(), 41u);
  EXPECT_EQ(std::string(kMultipartBoundary).find_first_not_of('-'), 27u);
}

TEST(MultipartBody, LaysOutVariablesThenTheFileByteForByte) {
  // Each case: the form variables, the file, and the exact body.
  const std::string file("II*\0\x01\xff\r\n", 8);
  const struct {
    const char* what;
    std::vector<std::string> vars;
    std::string file;
    std::string body;
  } cases[] = {
      {"nothing at all", {}, "", kClosing},
      {"variables without a file", {"a=1", "b=2"}, "",
       D + "\r\nContent-Disposition: form-data; name=\"a\"\r\n\r\n1\r\n" +
           D + "\r\nContent-Disposition: form-data; name=\"b\"\r\n\r\n2\r\n" + kClosing},
      {"file only", {}, file,
       D + "\r\nContent-Disposition: form-data; name=\"Pagewell\"; filename=\"scan.tif\"\r\n"
           "Content-Type: image/tiff\r\n\r\n" + file + "\r\n" + kClosing},
      {"variable and file", {"user=ann"}, "x",
       D + "\r\nContent-Disposition: form-data; name=\"user\"\r\n\r\nann\r\n" +
           D + "\r\nContent-Disposition: form-data; name=\"Pagewell\"; filename=\"scan.tif\"\r\n"
               "Content-Type: image/tiff\r\n\r\nx\r\n" + kClosing},
      {"name cut at its first =", {"a=b=c"}, "",
       D + "\r\nContent-Disposition: form-data; name=\"a\"\r\n\r\nb=c\r\n" + kClosing},
      {"entry without = is all name", {"lonely"}, "",
       D + "\r\nContent-Disposition: form-data; name=\"lonely\"\r\n\r\n\r\n" + kClosing},
      {"empty name and value", {"="}, "",
       D + "\r\nContent-Disposition: form-data; name=\"\"\r\n\r\n\r\n" + kClosing},
      {"quotes and line breaks unescaped", {"q\"n\r\nx=v\"al\r\nue"}, "",
       D + "\r\nContent-Disposition: form-data; name=\"q\"n\r\nx\"\r\n\r\nv\"al\r\nue\r\n" + kClosing},
      {"same name twice, in order", {"k=first", "k=second"}, "",
       D + "\r\nContent-Disposition: form-data; name=\"k\"\r\n\r\nfirst\r\n" +
           D + "\r\nContent-Disposition: form-data; name=\"k\"\r\n\r\nsecond\r\n" + kClosing},
  };
  for (const auto& c : cases) EXPECT_EQ(build(c.vars, c.file), c.body) << c.what;
}

TEST(MultipartBody, FileNameAndFieldNameGoOutAsTheyStand) {
  const std::string body = build({}, "z", "we\"ird name.pdf", "doc\"field", fcPDF);
  EXPECT_EQ(body, D + "\r\nContent-Disposition: form-data; name=\"doc\"field\"; filename=\"we\"ird name.pdf\"\r\n"
                      "Content-Type: application/pdf\r\n\r\nz\r\n" + kClosing);
}

TEST(MultipartBody, LengthIsTheTextPartsTheFileAndOneLineEnd) {
  std::string file(100000, '\0');
  for (std::size_t i = 0; i < file.size(); ++i) file[i] = static_cast<char>(i * 7);
  const std::vector<std::string> vars{"a=1", "bb=22"};
  const std::string body = build(vars, file);
  const std::string withoutFile = build(vars, "");
  const std::string heading = D + "\r\nContent-Disposition: form-data; name=\"Pagewell\"; filename=\"scan.tif\"\r\n"
                                  "Content-Type: image/tiff\r\n\r\n";
  EXPECT_EQ(body.size(), withoutFile.size() + heading.size() + file.size() + 2);
  EXPECT_EQ(body.find(file), withoutFile.size() - kClosing.size() + heading.size());
}

TEST(MultipartBody, ContentTypeByFormatCode) {
  const struct {
    int format;
    const char* fileName;
    const char* type;
  } cases[] = {
      {fcBMP, "a.bmp", "image/bmp"},
      {fcGIF, "a.gif", "image/gif"},
      {fcJPEG, "a.jpg", "image/jpeg"},
      {fcTIFF, "a.pcx", "image/tiff"},  // the code decides, not the name
      {fcPNG, "a.png", "image/png"},
      {fcWBMP, "a.wbm", "image/vnd.wap.wbmp"},
      {fcPDF, "a.pdf", "application/pdf"},
      {fcPCX, "a.pcx", "image/x-pcx"},
      {fcPSD, "a.psd", "image/vnd.adobe.photoshop"},
      {fcPCX, "scan.PCX", "application/octet-stream"},  // the lookup is the registry's, exact here
      {fcPCX, "scan", "application/octet-stream"},
      {fcPCX, "dir.pcx/scan", "application/octet-stream"},  // from the last "." on
      {fcPCX, "scan.", "application/octet-stream"},
      {fcPSD, "a.blank", "application/octet-stream"},
      {fcNone, "a.pcx", "image/x-pcx"},
      {-1, "a.psd", "image/vnd.adobe.photoshop"},
      {1000, "a.unknown", "application/octet-stream"},
  };
  for (const auto& c : cases)
    EXPECT_EQ(ContentTypeForFormat(c.format, c.fileName, fakeRegistry), c.type) << c.format << " " << c.fileName;
}

TEST(MultipartBody, FilePartCarriesTheLookedUpType) {
  EXPECT_NE(build({}, "p", "s.pcx", "Pagewell", fcPCX).find("\r\nContent-Type: image/x-pcx\r\n"), std::string::npos);
}

TEST(ContentTypeForExtension, DotOptionalShortNamesFallBack) {
  std::vector<std::string> asked;
  auto recording = [&](const std::string& dotted) {
    asked.push_back(dotted);
    return fakeRegistry(dotted);
  };
  const struct {
    const char* extension;
    const char* type;
  } cases[] = {
      {"", "application/octet-stream"},  {".", "application/octet-stream"},
      {"x", "application/octet-stream"}, {"pcx", "image/x-pcx"},
      {".pcx", "image/x-pcx"},           {".blank", "application/octet-stream"},
      {".none", "application/octet-stream"},
  };
  for (const auto& c : cases) EXPECT_EQ(ContentTypeForExtension(c.extension, recording), c.type) << c.extension;
  EXPECT_EQ(asked, (std::vector<std::string>{".pcx", ".pcx", ".blank", ".none"}))
      << "names shorter than two characters never reach the registry";
  EXPECT_EQ(ContentTypeForExtension(".pcx", nullptr), "application/octet-stream");
}

}  // namespace
}  // namespace pagewell
