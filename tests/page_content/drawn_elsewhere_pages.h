#pragma once
// Labelled pages drawn by another tool and read back through our own
// decoders: ImageMagick renders each page (real fonts, Bezier strokes,
// plasma "photographs") once and writes it as colour, gray and black-and-
// white PNG; and generated pages go through a JPEG round trip with
// libjpeg-turbo's djpeg, read back by our BMP reader. Both need the Linux tools; without them the set
// is the generated part alone.
#include <string>
#include <vector>

#include "formats/jpeg/jpeg_image_extra.h"
#include "formats/memory_stream.h"
#include "formats/png/png_image.h"
#include "labelled_pages.h"
#include "support/external_tools.h"

namespace pagewell::testing {

struct TDrawnPage {
  const char* Name;
  TContentLabel Label;
  std::string Drawing;  // ImageMagick options after the canvas
};

// Letter pages at 100 dpi (850 × 1100).
inline std::vector<TDrawnPage> ImageMagickDrawings() {
  const std::string text = "-font DejaVu-Sans -pointsize 11 -fill black ";
  std::string letter = text;
  for (int y = 140; y < 1000; y += 20) letter += "-draw \"text 100," + std::to_string(y) + " 'Thank you for your letter of the 3rd; the invoices are enclosed.'\" ";
  const std::string signature = "-fill none -strokewidth 2 -draw \"bezier 520,640 560,560 600,700 640,600 680,560 700,700 760,620\" ";
  return {
      {"blank white", LabelOf(TContentKind::None), ""},
      {"blank cream with specks", LabelOf(TContentKind::None), "-fill 'rgb(80,80,80)' -draw \"point 300,400\" -draw \"point 301,400\" -draw \"point 600,820\""},
      {"blank recycled with holes", LabelOf(TContentKind::None), "-fill 'rgb(40,40,40)' -draw \"circle 47,300 47,312\" -draw \"circle 47,800 47,812\""},
      {"blank with bottom shadow", LabelOf(TContentKind::None), "-fill 'rgb(90,90,90)' -draw \"rectangle 0,1090 849,1099\""},
      {"page number", LabelOf(TContentKind::PageNumber), text + "-draw \"text 420,1040 '12'\""},
      {"one line", LabelOf(TContentKind::OneLine), text + "-draw \"text 100,150 'Please find the enclosed invoice.'\""},
      {"signature", LabelOf(TContentKind::Signature), "-stroke black " + signature},
      {"blue signature", LabelOf(TContentKind::BlueSignature), "-stroke 'rgb(30,50,170)' " + signature},
      {"red stamp", LabelOf(TContentKind::RedStamp), "-fill none -stroke 'rgb(200,30,40)' -strokewidth 3 -draw \"rectangle 600,100 760,160\" -stroke none -fill 'rgb(200,30,40)' -font DejaVu-Sans-Bold -pointsize 20 -draw \"text 625,140 'PAID'\""},
      {"letter", LabelOf(TContentKind::Letter), letter},
      {"letter, red stamp", LabelOf(TContentKind::LetterWithRedStamp), letter + "-fill none -stroke 'rgb(200,30,40)' -strokewidth 3 -draw \"rectangle 600,40 760,100\""},
      {"logo", LabelOf(TContentKind::Logo), "-fill 'rgb(240,150,20)' -draw \"circle 130,100 130,140\" -fill 'rgb(20,90,200)' -draw \"rectangle 190,60 260,130\" " + text + "-draw \"text 100,200 'Acme Supplies Ltd'\""},
      {"colour photograph", LabelOf(TContentKind::ColourPhotograph), "\\( -seed 7 -size 500x400 plasma:fractal -blur 0x2 \\) -geometry +170+200 -composite"},
      {"gray photograph", LabelOf(TContentKind::GrayPhotograph), "\\( -seed 9 -size 500x400 plasma:fractal -blur 0x2 -colorspace Gray \\) -geometry +170+200 -composite"},
  };
}

inline TluBitmap ReadPng(const std::string& path) {
  TMemoryStream stream(ReadFileBytes(path));
  ToxPNGImage png;
  png.LoadFromStream(stream);
  TluBitmap page;
  page.Assign(png.Bitmap);
  page.SetXDpi(100), page.SetYDpi(100);
  page.DetectColorMode();
  return page;
}

inline std::string PaperFor(const std::string& name) {
  if (name.find("cream") != std::string::npos) return "rgb(250,240,212)";
  if (name.find("recycled") != std::string::npos) return "rgb(220,212,200)";
  return "white";
}

// Three pages per drawing: colour, gray and black and white.
inline std::vector<TLabelledPage> ImageMagickPages(const TTempDir& dir) {
  std::vector<TLabelledPage> pages;
  if (!HaveTool("convert")) return pages;
  int n = 0;
  for (const TDrawnPage& drawing : ImageMagickDrawings()) {
    const std::string base = dir.File("drawn" + std::to_string(n++));
    const std::string command = "convert -size 850x1100 xc:'" + PaperFor(drawing.Name) + "' " + drawing.Drawing +
                                " -type TrueColor -write PNG24:" + base + "-24.png" +
                                " -colorspace Gray -write PNG8:" + base + "-8.png" +
                                " -threshold 50% -type Bilevel " + base + "-1.png";
    if (RunCommand(command).exitCode != 0) continue;
    for (const char* bits : {"24", "8", "1"}) {
      TLabelledPage page;
      page.Name = std::string("ImageMagick ") + drawing.Name + ", " + bits + " bits";
      page.Label = drawing.Label;
      page.Label.Colour = page.Label.Colour && std::string(bits) == "24";
      page.Page = ReadPng(base + "-" + bits + ".png");
      pages.push_back(std::move(page));
    }
  }
  return pages;
}

// Generated colour pages saved as JPEG by us and decoded by djpeg.
inline std::vector<TLabelledPage> JpegRoundTripPages(const TTempDir& dir, const std::vector<TPageRecipe>& recipes) {
  std::vector<TLabelledPage> pages;
  if (!HaveTool("djpeg")) return pages;
  int n = 0;
  for (TPageRecipe recipe : recipes) {
    recipe.Format = TPixelFormat::pf24bit;
    TLabelledPage page = MakeLabelledPage(recipe);
    TMemoryStream jpeg;
    SaveBitmapAsJpeg(page.Page, 75, jpeg);
    const std::string base = dir.File("jpeg" + std::to_string(n++));
    WriteFileBytes(base + ".jpg", jpeg.Bytes());
    if (RunCommand("djpeg -bmp " + base + ".jpg > " + base + ".bmp").exitCode != 0) continue;
    page.Name = "djpeg " + page.Name;
    page.Label = LabelOf(recipe.Content);
    TMemoryStream bmp(ReadFileBytes(base + ".bmp"));
    page.Page = TluBitmap();
    page.Page.LoadFromStream(bmp);
    page.Page.DetectColorMode();
    pages.push_back(std::move(page));
  }
  return pages;
}

}  // namespace pagewell::testing
