#include "file_type_rule.h"

#include <gtest/gtest.h>

namespace pagewell {
namespace {

std::string narrow(std::wstring_view text) { return std::string(text.begin(), text.end()); }

TEST(FileTypeRule, RefusesProgramsScriptsAndNamesWithoutAType) {
  const struct {
    const wchar_t* name;
    const wchar_t* refusedType;  // nullptr: written; L"": refused for having no type
  } cases[] = {
      // Documents and the control's own formats.
      {L"scan.pdf", nullptr},
      {L"sub\\scan.TIF", nullptr},
      {L"reply.txt", nullptr},
      {L"archive.2024.jpeg", nullptr},
      {L"exe.pdf", nullptr},
      {L"folder.exe\\scan.pdf", nullptr},
      {L"scan.exe-not", nullptr},
      // Every runnable type, whatever its case.
      {L"setup.exe", L"exe"}, {L"run.COM", L"com"}, {L"a.bat", L"bat"}, {L"a.Cmd", L"cmd"},
      {L"a.ps1", L"ps1"}, {L"a.psm1", L"psm1"}, {L"a.vbs", L"vbs"}, {L"a.VBE", L"vbe"},
      {L"a.js", L"js"}, {L"a.jse", L"jse"}, {L"a.wsf", L"wsf"}, {L"a.wsh", L"wsh"},
      {L"a.hta", L"hta"}, {L"a.lnk", L"lnk"}, {L"a.url", L"url"}, {L"a.scr", L"scr"},
      {L"a.pif", L"pif"}, {L"a.msi", L"msi"}, {L"a.msp", L"msp"}, {L"a.dll", L"dll"},
      {L"a.cpl", L"cpl"}, {L"a.reg", L"reg"}, {L"a.jar", L"jar"}, {L"a.msc", L"msc"},
      // A document's type in front of the real one.
      {L"invoice.pdf.exe", L"exe"},
      {L"sub/deeper\\invoice.pdf.js", L"js"},
      // Trailing dots and spaces that the file system drops.
      {L"setup.exe.", L"exe"},
      {L"setup.exe ", L"exe"},
      {L"setup.EXE. . ", L"exe"},
      // The type alone is a file of that type.
      {L".hta", L"hta"},
      // No type at all.
      {L"no_extension", L""},
      {L"sub.pdf\\no_extension", L""},
      {L"ends_with_dot.", L""},
      {L"ends with dots and spaces . .", L""},
      {L"", L""},
  };
  for (const auto& c : cases) {
    const std::optional<std::wstring> message = RefusedFileTypeMessage(c.name);
    if (!c.refusedType) {
      EXPECT_FALSE(message) << narrow(c.name) << ": " << narrow(message.value_or(L""));
    } else if (*c.refusedType == L'\0') {
      ASSERT_TRUE(message) << narrow(c.name);
      EXPECT_EQ(*message, L"The file name needs a type such as .pdf; a file without one is not written")
          << narrow(c.name);
    } else {
      ASSERT_TRUE(message) << narrow(c.name);
      EXPECT_EQ(*message, L"The file type ." + std::wstring(c.refusedType) +
                              L" is refused: Pagewell does not write programs or scripts")
          << narrow(c.name);
    }
  }
}

}  // namespace
}  // namespace pagewell
