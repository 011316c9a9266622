#include "pagewell_convert.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <sstream>

#include "formats/bmp/bmp_image.h"
#include "formats/format_code.h"
#include "formats/tiff/tiff_directory_reader.h"
#include "formats/tiff/tiff_pages.h"
#include "input_pages.h"
#include "output_format.h"
#include "support/codec_checks.h"

namespace pagewell {
namespace {

struct TRun {
  int exitCode;
  std::string out, err;
};

TRun Convert(const std::vector<std::string>& args) {
  std::ostringstream out, err;
  const int code = convert::RunPagewellConvert(args, out, err);
  return {code, out.str(), err.str()};
}

TluBitmap ColourPage(int width = 40, int height = 30) { return testing::DocumentPage(width, height, true, 21); }

TluBitmap BlackWhitePage() {
  TluBitmap page = testing::DocumentPage(64, 48, false, 22);
  page.SetColorMode(cmBlackWhite);
  return page;
}

std::string WritePage(const testing::TTempDir& dir, const std::string& name, TluBitmap page, int code = fcBMP) {
  const std::string path = dir.File(name);
  testing::WriteFileBytes(path, testing::SaveAs(page, code));
  return path;
}

TEST(PagewellConvert, UsageErrorsExitWith1AndWriteNothing) {
  testing::TTempDir dir;
  const std::string input = WritePage(dir, "in.bmp", ColourPage());
  const std::string output = dir.File("out.png");
  const std::vector<std::vector<std::string>> cases = {
      {},
      {input},
      {"--frobnicate", input, output},
      {"--dpi", "0", input, output},
      {"--dpi", "300,200,100", input, output},
      {"--color-mode", "7", input, output},
      {"--flip", "x", input, output},
      {"--crop", "1,2,3", input, output},
      {"--rotate", "ninety", input, output},
      {"--rotate", "inf", input, output},
      {"--despeckle", "10", input, output},
      {"--quality", "101", input, output},
      {"--format", "xyz", input, output},
      {input, output, "--quality"},
      {input, input, output},  // two pages into PNG
  };
  for (const auto& args : cases) {
    const TRun run = Convert(args);
    EXPECT_EQ(run.exitCode, 1) << ::testing::PrintToString(args);
    EXPECT_NE(run.err.find("pagewell-convert: "), std::string::npos);
    EXPECT_FALSE(std::filesystem::exists(output));
  }
}

TEST(PagewellConvert, HelpDocumentsEveryOption) {
  const TRun run = Convert({"--help"});
  EXPECT_EQ(run.exitCode, 0);
  for (const char* word : {"--dpi", "--color-mode", "--rotate", "--flip", "--crop", "--deskew", "--despeckle", "--drop-blank", "--auto-colour", "--format",
                           "--quality", "INPUT", "OUTPUT", "Exit status", "Group 4"}) {
    EXPECT_NE(run.out.find(word), std::string::npos) << word;
  }
}

TEST(PagewellConvert, FormatFollowsTheExtensionLikeTheControl) {
  using convert::ResolveOutputFormat;
  EXPECT_EQ(ResolveOutputFormat(std::nullopt, "scan.jpeg"), fcJPEG);
  EXPECT_EQ(ResolveOutputFormat(std::nullopt, "scan.JPE"), fcJPEG);
  EXPECT_EQ(ResolveOutputFormat(std::nullopt, "scan.tiff"), fcTIFF);
  EXPECT_EQ(ResolveOutputFormat(std::nullopt, "scan.wbmp"), fcWBMP);
  EXPECT_EQ(ResolveOutputFormat(std::nullopt, "scan.txt"), fcPDF);
  EXPECT_EQ(ResolveOutputFormat(std::nullopt, "scan"), fcPDF);
  EXPECT_EQ(ResolveOutputFormat(std::nullopt, "dir.tif/scan"), fcPDF);
  EXPECT_EQ(ResolveOutputFormat(std::string("png"), "scan.tif"), fcPNG);
  EXPECT_EQ(ResolveOutputFormat(std::string("wbm"), "scan"), fcWBMP);
}

TEST(PagewellConvert, EveryFormatIsWritten) {
  testing::TTempDir dir;
  const std::string input = WritePage(dir, "in.bmp", ColourPage());
  const std::vector<std::pair<std::string, std::string>> outputs = {
      {"out.bmp", "BM"},         {"out.gif", "GIF87a"}, {"out.jpg", "\xFF\xD8"}, {"out.pcx", "\x0A\x05"},
      {"out.tif", "II*"},        {"out.png", "\x89PNG"}, {"out.psd", "8BPS"},    {"out.wbm", std::string("\0\0", 2)},
      {"out.pdf", "%PDF"},       {"out.unknown", "%PDF"}};
  for (const auto& [name, magic] : outputs) {
    const TRun run = Convert({input, dir.File(name)});
    ASSERT_EQ(run.exitCode, 0) << name << ": " << run.err;
    const auto bytes = testing::ReadFileBytes(dir.File(name));
    EXPECT_EQ(std::string(bytes.begin(), bytes.begin() + magic.size()), magic) << name;
  }
}

// A white 20 x 10 page whose top-left pixel is red, written as in.bmp: where
// the red pixel ends up tells how the page was turned.
std::string WriteRedCornerPage(const testing::TTempDir& dir) {
  TluBitmap page(20, 10, TPixelFormat::pf24bit);
  page.FillRect(0, 0, 20, 10, clWhite);
  page.SetPixelColor(0, 0, RGBColor(255, 0, 0));
  page.DetectColorMode();
  return WritePage(dir, "in.bmp", page);
}

TEST(PagewellConvert, OperationsRunInTheOrderGiven) {
  testing::TTempDir dir;
  const std::string input = WriteRedCornerPage(dir);
  const std::string output = dir.File("out.bmp");
  // Turned 90 degrees counter-clockwise the page is 10 x 20 with the red
  // pixel at the bottom-left; flipped upside down it is top-left again.
  const TRun run = Convert({"--rotate", "90", "--flip", "v", "--crop", "0,0,4,2", "--dpi", "300,150", input, output});
  ASSERT_EQ(run.exitCode, 0) << run.err;
  const auto pages = convert::ReadInputPages(output);
  ASSERT_EQ(pages.size(), 1u);
  EXPECT_EQ(pages[0].Width(), 5);
  EXPECT_EQ(pages[0].Height(), 3);
  EXPECT_EQ(pages[0].PixelColor(0, 0), RGBColor(255, 0, 0));
  EXPECT_EQ(pages[0].XDpi(), 300);
  EXPECT_EQ(pages[0].YDpi(), 150);
}

TEST(PagewellConvert, RotateTakesAnyAngleAndDropsWholeTurns) {
  testing::TTempDir dir;
  const std::string input = WriteRedCornerPage(dir);
  const std::string output = dir.File("out.bmp");
  // Each a quarter turn counter-clockwise: the red pixel ends bottom-left.
  for (const char* angle : {"90", "450", "-270", "1530", "-630"}) {
    const TRun run = Convert({"--rotate", angle, input, output});
    ASSERT_EQ(run.exitCode, 0) << angle << ": " << run.err;
    const auto pages = convert::ReadInputPages(output);
    ASSERT_EQ(pages.size(), 1u);
    EXPECT_EQ(pages[0].Width(), 10) << angle;
    EXPECT_EQ(pages[0].Height(), 20) << angle;
    EXPECT_EQ(pages[0].PixelColor(0, 19), RGBColor(255, 0, 0)) << angle;
  }
  // Whole turns leave the page as it was.
  for (const char* angle : {"720", "-1080"}) {
    ASSERT_EQ(Convert({"--rotate", angle, input, output}).exitCode, 0) << angle;
    const auto pages = convert::ReadInputPages(output);
    EXPECT_EQ(pages[0].Width(), 20) << angle;
    EXPECT_EQ(pages[0].PixelColor(0, 0), RGBColor(255, 0, 0)) << angle;
  }
}

TEST(PagewellConvert, ReadsPngJpegAndEveryTiffPage) {
  testing::TTempDir dir;
  const std::string png = WritePage(dir, "in.png", ColourPage(), fcPNG);
  const std::string jpeg = WritePage(dir, "in.jpg", ColourPage(), fcJPEG);
  const std::string twoPages = dir.File("two.tif");
  ASSERT_EQ(Convert({png, WritePage(dir, "bw.bmp", BlackWhitePage()), twoPages}).exitCode, 0);
  const std::string output = dir.File("all.tif");
  const TRun run = Convert({jpeg, twoPages, png, output});
  ASSERT_EQ(run.exitCode, 0) << run.err;
  EXPECT_EQ(CountTiffPages(testing::ReadFileBytes(output)), 4);
}

TEST(PagewellConvert, SeveralPagesMakeOneTiffWithGroup4ForBlackAndWhite) {
  testing::TTempDir dir;
  const std::string colour = WritePage(dir, "colour.bmp", ColourPage());
  const std::string bw = WritePage(dir, "bw.bmp", BlackWhitePage());
  const std::string output = dir.File("pages.tif");
  ASSERT_EQ(Convert({colour, bw, output}).exitCode, 0);
  const auto file = testing::ReadFileBytes(output);
  ASSERT_EQ(CountTiffPages(file), 2);
  EXPECT_EQ(testing::ToPPM(ReadTiffPage(file, 1)), testing::ToPPM(ColourPage()));
  EXPECT_EQ(testing::ToPPM(ReadTiffPage(file, 2)), testing::ToPPM(BlackWhitePage()));

  if (!testing::HaveTool("tiffinfo")) GTEST_SKIP() << "libtiff tools missing";
  const auto info = testing::RunCommand("tiffinfo " + output);
  const std::size_t second = info.output.find("TIFF Directory at offset", info.output.find("TIFF Directory at offset") + 1);
  ASSERT_NE(second, std::string::npos) << info.output;
  EXPECT_NE(info.output.substr(0, second).find("Compression Scheme: None"), std::string::npos) << info.output;
  EXPECT_NE(info.output.substr(second).find("Compression Scheme: CCITT Group 4"), std::string::npos) << info.output;
}

TEST(PagewellConvert, SeveralPagesMakeOnePdf) {
  testing::TTempDir dir;
  const std::string output = dir.File("pages.pdf");
  const TRun run = Convert({WritePage(dir, "c.bmp", ColourPage()), WritePage(dir, "b.bmp", BlackWhitePage()), output});
  ASSERT_EQ(run.exitCode, 0) << run.err;
  const auto bytes = testing::ReadFileBytes(output);
  const std::string text(bytes.begin(), bytes.end());
  EXPECT_NE(text.find("/DCTDecode"), std::string::npos);
  EXPECT_NE(text.find("/CCITTFaxDecode"), std::string::npos);

  if (!testing::HaveTool("qpdf") || !testing::HaveTool("pdfinfo")) GTEST_SKIP() << "qpdf or poppler missing";
  const auto check = testing::RunCommand("qpdf --check " + output);
  EXPECT_EQ(check.exitCode, 0) << check.output;
  const auto info = testing::RunCommand("pdfinfo " + output);
  const std::size_t pages = info.output.find("Pages:");
  ASSERT_NE(pages, std::string::npos) << info.output;
  EXPECT_EQ(std::stoi(info.output.substr(pages + 6)), 2) << info.output;
}

TEST(PagewellConvert, UnreadableInputOrUnwritableOutputExitsWith2) {
  testing::TTempDir dir;
  const std::string good = WritePage(dir, "in.bmp", ColourPage());
  testing::WriteFileBytes(dir.File("garbage.png"), {0x89, 'P', 'N', 'G', 1, 2, 3});
  testing::WriteFileBytes(dir.File("empty.bmp"), {});
  testing::WriteFileBytes(dir.File("header-only.tif"), {'I', 'I', 42, 0, 8, 0, 0, 0});
  std::filesystem::create_directory(dir.File("folder.tif"));
  const std::string output = dir.File("out.tif");
  for (const std::string& bad : {dir.File("missing.bmp"), dir.File("garbage.png"), dir.File("empty.bmp"),
                                 dir.File("header-only.tif"), dir.File("folder.tif")}) {
    const TRun run = Convert({good, bad, output});
    EXPECT_EQ(run.exitCode, 2);
    EXPECT_NE(run.err.find(bad), std::string::npos) << run.err;
    EXPECT_FALSE(std::filesystem::exists(output));
  }
  const TRun run = Convert({good, dir.File("no/such/folder/out.png")});
  EXPECT_EQ(run.exitCode, 2);
  EXPECT_NE(run.err.find("out.png"), std::string::npos) << run.err;
  int leftovers = 0;
  for (const auto& entry : std::filesystem::directory_iterator(std::filesystem::path(dir.File("")))) {
    leftovers += entry.path().filename().string().find(".part") != std::string::npos;
  }
  EXPECT_EQ(leftovers, 0);
}

TEST(PagewellConvert, ExecutableKeepsTheContract) {
#ifdef PAGEWELL_CONVERT_EXE
  if (!testing::HaveTool("sh")) GTEST_SKIP() << "no shell to start the program";
  testing::TTempDir dir;
  const std::string exe = PAGEWELL_CONVERT_EXE;
  const std::string input = WritePage(dir, "in.bmp", ColourPage());
  EXPECT_EQ(testing::RunCommand(exe + " --help").exitCode, 0);
  EXPECT_EQ(testing::RunCommand(exe + " " + input).exitCode, 1);
  EXPECT_EQ(testing::RunCommand(exe + " " + dir.File("missing.bmp") + " " + dir.File("x.png")).exitCode, 2);
  ASSERT_EQ(testing::RunCommand(exe + " --color-mode 2 " + input + " " + dir.File("x.png")).exitCode, 0);
  if (testing::HaveTool("pngcheck")) {
    const auto check = testing::RunCommand("pngcheck -v " + dir.File("x.png"));
    EXPECT_NE(check.output.find("8-bit grayscale"), std::string::npos) << check.output;
  }
#else
  GTEST_SKIP() << "the program's path is not known to this build";
#endif
}

}  // namespace
}  // namespace pagewell
