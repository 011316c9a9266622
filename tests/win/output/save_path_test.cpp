// The rule that keeps every saved file inside the documents folder.
#include "save_path.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace pagewell {
namespace {

const wchar_t kDocuments[] = L"C:\\users\\me\\Documents";
const wchar_t kOutside[] = L"The file name must name a file inside the documents folder";

TEST(SavePathTest, NamesInsideTheFolderResolveLikeThePlatform) {
  const struct {
    const wchar_t* name;
    const wchar_t* path;
    std::vector<std::wstring> folders;
  } cases[] = {
      {L"scan.pdf", L"C:\\users\\me\\Documents\\scan.pdf", {}},
      {L"sub\\scan.tif", L"C:\\users\\me\\Documents\\sub\\scan.tif", {L"C:\\users\\me\\Documents\\sub"}},
      {L"a/b\\c.png",
       L"C:\\users\\me\\Documents\\a\\b\\c.png",
       {L"C:\\users\\me\\Documents\\a", L"C:\\users\\me\\Documents\\a\\b"}},
      {L"sub\\..\\x.pdf", L"C:\\users\\me\\Documents\\x.pdf", {}},
      {L".\\sub\\\\.\\x.pdf", L"C:\\users\\me\\Documents\\sub\\x.pdf", {L"C:\\users\\me\\Documents\\sub"}},
      {L"scan", L"C:\\users\\me\\Documents\\scan", {}},
      {L".hidden", L"C:\\users\\me\\Documents\\.hidden", {}},
      {L"console.pdf", L"C:\\users\\me\\Documents\\console.pdf", {}},
      {L"COM10.tif", L"C:\\users\\me\\Documents\\COM10.tif", {}},
      {L"Grüße – scan.pdf", L"C:\\users\\me\\Documents\\Grüße – scan.pdf", {}},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(testing::PrintToString(std::wstring(c.name)));
    const SavePath resolved = ResolveSavePath(kDocuments, c.name);
    EXPECT_EQ(resolved.error, L"");
    EXPECT_EQ(resolved.path, c.path);
    EXPECT_EQ(resolved.folders, c.folders);
  }
}

TEST(SavePathTest, NamesThatLeaveTheFolderOrNameNoFileAreRefused) {
  const std::wstring longName(260, L'x');
  const struct {
    const wchar_t* documents;
    std::wstring name;
    std::wstring error;
  } cases[] = {
      {kDocuments, L"..\\..\\x.pdf", kOutside},
      {kDocuments, L"sub\\..\\..\\x.pdf", kOutside},
      {kDocuments, L"../x.pdf", kOutside},
      {kDocuments, L"C:\\x.pdf", kOutside},
      {kDocuments, L"C:x.pdf", kOutside},
      {kDocuments, L"\\x.pdf", kOutside},
      {kDocuments, L"/x.pdf", kOutside},
      {kDocuments, L"\\\\server\\share\\x.pdf", kOutside},
      {kDocuments, L"\\\\?\\C:\\x.pdf", kOutside},
      {kDocuments, L"a.pdf:x", kOutside},
      {kDocuments, L"a.pdf::$DATA", kOutside},
      {kDocuments, L"", L"The file name is empty"},
      {kDocuments, L"sub\\", L"The file name names a folder, not a file"},
      {kDocuments, L"..", L"The file name names a folder, not a file"},
      {kDocuments, L".", L"The file name names a folder, not a file"},
      {kDocuments, L"CON", L"The file name \"CON\" is reserved for a device"},
      {kDocuments, L"nul.pdf", L"The file name \"nul.pdf\" is reserved for a device"},
      {kDocuments, L"sub\\Lpt1.tif", L"The file name \"Lpt1.tif\" is reserved for a device"},
      {kDocuments, L"com9", L"The file name \"com9\" is reserved for a device"},
      {kDocuments, L"aux .txt", L"The file name \"aux .txt\" is reserved for a device"},
      {kDocuments, L"CONOUT$", L"The file name \"CONOUT$\" is reserved for a device"},
      {kDocuments, L"scan.pdf.", L"The file name has a part that ends with a dot or a space"},
      {kDocuments, L"sub \\scan.pdf", L"The file name has a part that ends with a dot or a space"},
      {kDocuments, L"...\\x.pdf", L"The file name has a part that ends with a dot or a space"},
      {kDocuments, L"a?.pdf", L"The file name holds a character that file names cannot hold"},
      {kDocuments, L"a*.pdf", L"The file name holds a character that file names cannot hold"},
      {kDocuments, L"a<b>.pdf", L"The file name holds a character that file names cannot hold"},
      {kDocuments, L"a|b.pdf", L"The file name holds a character that file names cannot hold"},
      {kDocuments, std::wstring(L"a\0b.pdf", 7), L"The file name holds a character that file names cannot hold"},
      {kDocuments, L"tab\t.pdf", L"The file name holds a character that file names cannot hold"},
      {kDocuments, longName, L"The file name is too long"},
      {L"", L"scan.pdf", L"The documents folder is not available"},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(testing::PrintToString(c.name));
    const SavePath resolved = ResolveSavePath(c.documents, c.name);
    EXPECT_EQ(resolved.error, c.error);
    EXPECT_EQ(resolved.path, L"");
  }
}

// The whole path counts against the platform's limit, not the name alone.
TEST(SavePathTest, TheLimitIsOnTheWholePath) {
  const std::wstring folder = kDocuments;
  const size_t room = kMaxPathLength - folder.size() - 1;
  EXPECT_EQ(ResolveSavePath(folder, std::wstring(room, L'a')).path.size(), kMaxPathLength);
  EXPECT_EQ(ResolveSavePath(folder, std::wstring(room + 1, L'a')).error, L"The file name is too long");
  EXPECT_EQ(ResolveSavePath(L"C:\\", L"x.pdf").path, L"C:\\x.pdf");
}

}  // namespace
}  // namespace pagewell
