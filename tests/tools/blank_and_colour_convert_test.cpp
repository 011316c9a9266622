// pagewell-convert --drop-blank --auto-colour on a multi-page TIFF of
// labelled pages, the results read by poppler and libtiff.
#include <gtest/gtest.h>

#include <filesystem>
#include <sstream>

#include "formats/format_code.h"
#include "formats/tiff/tiff_pages.h"
#include "labelled_pages.h"
#include "pagewell_convert.h"
#include "support/codec_checks.h"

namespace pagewell {
namespace {

using testing::TContentKind;
using testing::TPaperKind;

int Convert(const std::vector<std::string>& args, std::string* err = nullptr) {
  std::ostringstream out, errors;
  const int code = convert::RunPagewellConvert(args, out, errors);
  if (err) *err = errors.str();
  return code;
}

struct TInputPage {
  TContentKind Content;
  TPaperKind Paper;
  testing::TSheetWear Wear;
  TPixelFormat Format;
};

// One multi-page TIFF of the pages, at 100 dpi.
std::string WriteTiff(const testing::TTempDir& dir, const std::string& name, const std::vector<TInputPage>& pages) {
  std::vector<std::string> args;
  for (std::size_t i = 0; i < pages.size(); ++i) {
    const TInputPage& p = pages[i];
    TluBitmap page =
        testing::MakeLabelledPage({p.Content, p.Paper, p.Wear, 100, p.Format, static_cast<std::uint32_t>(31 + i)}).Page;
    args.push_back(dir.File(name + std::to_string(i) + ".bmp"));
    testing::WriteFileBytes(args.back(), testing::SaveAs(page, fcBMP));
  }
  args.push_back(dir.File(name + ".tif"));
  EXPECT_EQ(Convert(args), 0);
  return args.back();
}

// The pages of a duplex batch: a letter on cream paper, an empty back side
// of recycled paper, a page that is only a red stamp, an empty punched back
// side and a gray photograph scanned in colour.
const std::vector<TInputPage> kBatch = {
    {TContentKind::Letter, TPaperKind::Cream, {}, TPixelFormat::pf24bit},
    {TContentKind::None, TPaperKind::Recycled, {true, false, false, false}, TPixelFormat::pf24bit},
    {TContentKind::RedStamp, TPaperKind::White, {}, TPixelFormat::pf24bit},
    {TContentKind::None, TPaperKind::White, {false, true, true, true}, TPixelFormat::pf8bit},
    {TContentKind::GrayPhotograph, TPaperKind::White, {}, TPixelFormat::pf24bit},
};

TEST(PagewellConvertBlankAndColour, PdfKeepsTheContentPagesInTheirSmallestColourMode) {
  testing::TTempDir dir;
  const std::string input = WriteTiff(dir, "batch", kBatch);
  const std::string output = dir.File("kept.pdf");
  std::string err;
  ASSERT_EQ(Convert({"--drop-blank", "--auto-colour", input, output}, &err), 0) << err;

  if (!testing::HaveTool("pdfimages") || !testing::HaveTool("pdfinfo")) GTEST_SKIP() << "poppler missing";
  const auto info = testing::RunCommand("pdfinfo " + output);
  ASSERT_NE(info.output.find("Pages:           3"), std::string::npos) << info.output;
  // page num type width height color comp bpc enc ...
  const auto list = testing::RunCommand("pdfimages -list " + output);
  std::istringstream lines(list.output);
  std::string line;
  std::vector<std::string> seen;
  while (std::getline(lines, line)) {
    std::istringstream fields(line);
    std::string page, num, type, width, height, color, comp, bpc, enc;
    if (!(fields >> page >> num >> type >> width >> height >> color >> comp >> bpc >> enc) || page == "page") continue;
    if (page.find_first_not_of("0123456789") != std::string::npos) continue;
    seen.push_back(page + " " + color + " " + bpc + " " + enc);
  }
  const std::vector<std::string> expected = {"1 gray 1 ccitt", "2 rgb 8 jpeg", "3 gray 8 jpeg"};
  EXPECT_EQ(seen, expected) << list.output;
}

TEST(PagewellConvertBlankAndColour, TiffKeepsTheSamePages) {
  testing::TTempDir dir;
  const std::string input = WriteTiff(dir, "batch", kBatch);
  const std::string output = dir.File("kept.tif");
  ASSERT_EQ(Convert({"--drop-blank", "--auto-colour", input, output}), 0);
  if (!testing::HaveTool("tiffinfo")) GTEST_SKIP() << "libtiff tools missing";
  const std::string info = testing::RunCommand("tiffinfo " + output).output;
  std::vector<std::string> depths;
  for (std::size_t at = info.find("Bits/Sample: "); at != std::string::npos; at = info.find("Bits/Sample: ", at + 1))
    depths.push_back(info.substr(at + 13, info.find('\n', at) - at - 13));
  EXPECT_EQ(depths, (std::vector<std::string>{"1", "8", "8"})) << info;
  EXPECT_NE(info.find("RGB color"), std::string::npos) << info;
  EXPECT_NE(info.find("CCITT Group 4"), std::string::npos) << info;
}

TEST(PagewellConvertBlankAndColour, WithoutTheOptionsEveryPageStaysAsItWas) {
  testing::TTempDir dir;
  const std::string input = WriteTiff(dir, "batch", kBatch);
  const std::string output = dir.File("all.tif");
  ASSERT_EQ(Convert({input, output}), 0);
  const auto file = testing::ReadFileBytes(output);
  EXPECT_EQ(testing::ToPPM(ReadTiffPage(file, 2)), testing::ToPPM(ReadTiffPage(testing::ReadFileBytes(input), 2)));
}

TEST(PagewellConvertBlankAndColour, OnlyBlankPagesExitWith2AndWriteNothing) {
  testing::TTempDir dir;
  const std::string input = WriteTiff(dir, "blank", {kBatch[1], kBatch[3]});
  const std::string output = dir.File("none.pdf");
  std::string err;
  EXPECT_EQ(Convert({"--drop-blank", input, output}, &err), 2);
  EXPECT_NE(err.find("every page is blank"), std::string::npos) << err;
  EXPECT_FALSE(std::filesystem::exists(output));
}

}  // namespace
}  // namespace pagewell
