#pragma once
// The labelled pages that blank-page detection and automatic colour are
// measured on: blank sheets of white, tinted and recycled paper with
// show-through, punch holes, dust and an edge shadow; near-empty pages (a
// signature, a page number, one line, a stamp); letters, logos and
// photographs; at several resolutions and pixel formats. Each page carries
// what a reader would say about it.
#include <string>
#include <vector>

#include "glass_dust.h"
#include "imaging/lu_bitmap.h"
#include "paper_look.h"
#include "sheet_drawing.h"

namespace pagewell::testing {

enum class TContentKind {
  None,
  Signature,
  BlueSignature,
  PageNumber,
  OneLine,
  RedStamp,
  Letter,
  LetterWithRedStamp,
  LetterWithBlueSignature,
  ColourPhotograph,
  GrayPhotograph,
  Logo,
};

struct TContentLabel {
  const char* Name;
  bool Content;  // a reader would keep the page
  bool Colour;   // colour that matters, where the format can hold colour
  bool Photograph;
  // Areas of flat tint (a logo's discs and squares) that black and white
  // would turn into blots or lose: such a page stays gray.
  bool Shaded = false;
};

inline TContentLabel LabelOf(TContentKind kind) {
  switch (kind) {
    case TContentKind::None: return {"blank", false, false, false};
    case TContentKind::Signature: return {"signature", true, false, false};
    case TContentKind::BlueSignature: return {"blue signature", true, true, false};
    case TContentKind::PageNumber: return {"page number", true, false, false};
    case TContentKind::OneLine: return {"one line", true, false, false};
    case TContentKind::RedStamp: return {"red stamp", true, true, false};
    case TContentKind::Letter: return {"letter", true, false, false};
    case TContentKind::LetterWithRedStamp: return {"letter, red stamp", true, true, false};
    case TContentKind::LetterWithBlueSignature: return {"letter, blue signature", true, true, false};
    case TContentKind::ColourPhotograph: return {"colour photograph", true, true, true};
    case TContentKind::GrayPhotograph: return {"gray photograph", true, false, true};
    case TContentKind::Logo: return {"logo", true, true, false, true};
  }
  return {"?", true, true, true};
}

inline void DrawContent(TSheet& sheet, TContentKind kind, std::uint32_t seed) {
  const double width = sheet.WidthInches();
  switch (kind) {
    case TContentKind::None: break;
    case TContentKind::Signature: Signature(sheet, width - 3.2, 6.0, kInk, seed); break;
    case TContentKind::BlueSignature: Signature(sheet, width - 3.2, 6.0, kBluePen, seed); break;
    case TContentKind::PageNumber: PageNumber(sheet, seed); break;
    case TContentKind::OneLine: TextLine(sheet, 1.0, 5.0, 1.5, 0.12, seed); break;
    case TContentKind::RedStamp: Stamp(sheet, width - 2.6, 1.2, kStampRed, seed); break;
    case TContentKind::Letter: TextPage(sheet, 0.12, seed); break;
    case TContentKind::LetterWithRedStamp:
      TextPage(sheet, 0.12, seed);
      Stamp(sheet, width - 2.6, 0.3, kStampRed, seed);
      break;
    case TContentKind::LetterWithBlueSignature:
      TextPage(sheet, 0.12, seed);
      sheet.Fill(width - 3.3, 5.6, width - 1.0, 6.3, 0xFFFFFF);
      Signature(sheet, width - 3.2, 6.1, kBluePen, seed);
      break;
    case TContentKind::ColourPhotograph:
      TextLine(sheet, 1.0, 6.0, 1.3, 0.14, seed);
      Photograph(sheet, 1.0, 2.0, width - 1.0, 7.5, true);
      break;
    case TContentKind::GrayPhotograph:
      TextLine(sheet, 1.0, 6.0, 1.3, 0.14, seed);
      Photograph(sheet, 1.0, 2.0, width - 1.0, 7.5, false);
      break;
    case TContentKind::Logo:
      Logo(sheet, 1.0, 0.8, 0x20A0F0, 0xC06010);
      TextLine(sheet, 1.0, width - 1.0, 2.5, 0.12, seed);
      break;
  }
}

enum class TPaperKind { White, Cream, PastelBlue, Recycled };

inline std::uint32_t TintOf(TPaperKind paper) {
  switch (paper) {
    case TPaperKind::Cream: return 0xC8EEFA;       // r 250, g 238, b 200
    case TPaperKind::PastelBlue: return 0xF8E4D8;  // r 216, g 228, b 248
    case TPaperKind::Recycled: return 0xC8D4DC;    // r 220, g 212, b 200
    default: return 0xFFFFFF;
  }
}

inline const char* NameOf(TPaperKind paper) {
  const char* names[] = {"white", "cream", "pastel blue", "recycled"};
  return names[static_cast<int>(paper)];
}

// What happened to the sheet besides its paper: show-through, punch holes,
// dust on the glass and an edge shadow, each on or off.
struct TSheetWear {
  bool ShowThrough = false, PunchHoles = false, Dust = false, Shadow = false;
};

inline std::string NameOf(const TSheetWear& wear) {
  std::string name;
  if (wear.ShowThrough) name += " show-through";
  if (wear.PunchHoles) name += " holes";
  if (wear.Dust) name += " dust";
  if (wear.Shadow) name += " shadow";
  return name.empty() ? " clean" : name;
}

struct TPageRecipe {
  TContentKind Content = TContentKind::None;
  TPaperKind Paper = TPaperKind::White;
  TSheetWear Wear;
  double Dpi = 100;
  TPixelFormat Format = TPixelFormat::pf24bit;
  std::uint32_t Seed = 1;
};

struct TLabelledPage {
  std::string Name;
  TContentLabel Label;
  TluBitmap Page;
};

inline bool HoldsColour(TPixelFormat format) {
  return format == TPixelFormat::pf24bit || format == TPixelFormat::pf32bit;
}

// The sheet as the scanner delivers it in the recipe's pixel format.
inline TluBitmap ScanOf(TSheet& sheet, TPixelFormat format) {
  TluBitmap page(sheet.Width, sheet.Height, TPixelFormat::pf24bit);
  for (int y = 0; y < sheet.Height; ++y) {
    std::uint8_t* row = page.ScanLine(y);
    for (int x = 0; x < sheet.Width; ++x, row += 3) {
      const std::uint32_t c = sheet.Colors[static_cast<std::size_t>(y) * sheet.Width + x];
      row[0] = static_cast<std::uint8_t>(c >> 16), row[1] = static_cast<std::uint8_t>(c >> 8), row[2] = static_cast<std::uint8_t>(c);
    }
  }
  page.SetXDpi(static_cast<int>(sheet.Dpi)), page.SetYDpi(static_cast<int>(sheet.Dpi));
  page.DetectColorMode();
  switch (format) {
    case TPixelFormat::pf1bit: page.SetColorMode(cmBlackWhite); break;
    case TPixelFormat::pf4bit: page.SetColorMode(cmGray16); break;
    case TPixelFormat::pf8bit: page.SetColorMode(cmGray256); break;
    case TPixelFormat::pf32bit: page.SetPixelFormat(TPixelFormat::pf32bit); break;
    default: break;
  }
  return page;
}

inline TLabelledPage MakeLabelledPage(const TPageRecipe& recipe) {
  TSheet sheet(8.5, 11, recipe.Dpi);
  DrawContent(sheet, recipe.Content, recipe.Seed);
  virtual_scanner::TPaperLook look;
  look.Tint = TintOf(recipe.Paper);
  look.Flecks = recipe.Paper == TPaperKind::Recycled ? 150 : 0;
  look.ShowThrough = recipe.Wear.ShowThrough ? 22 + static_cast<int>(recipe.Seed % 20) : 0;
  look.PunchHoles = recipe.Wear.PunchHoles ? 2 + static_cast<int>(recipe.Seed % 2) : 0;
  look.Shadow = recipe.Wear.Shadow ? static_cast<virtual_scanner::TShadowEdge>(1 + recipe.Seed % 4)
                                   : virtual_scanner::TShadowEdge::None;
  virtual_scanner::ApplyPaperLook(sheet.Colors, sheet.Width, sheet.Height, sheet.Dpi, sheet.Dpi, look,
                                  static_cast<int>(recipe.Seed));
  if (recipe.Wear.Dust)
    virtual_scanner::AddGlassDust(sheet.Colors, sheet.Width, sheet.Height, sheet.Dpi, 12, static_cast<int>(recipe.Seed));
  AddNoise(sheet, 5, recipe.Seed);

  TLabelledPage labelled;
  labelled.Label = LabelOf(recipe.Content);
  labelled.Label.Colour = labelled.Label.Colour && HoldsColour(recipe.Format);
  labelled.Name = std::string(labelled.Label.Name) + " on " + NameOf(recipe.Paper) + NameOf(recipe.Wear) + ", " +
                  std::to_string(static_cast<int>(recipe.Dpi)) + " dpi, " +
                  std::to_string(static_cast<int>(recipe.Format)) + " bits";
  labelled.Page = ScanOf(sheet, recipe.Format);
  return labelled;
}

// The recipes of the generated part of the set. Resolutions and pixel
// formats rotate through the pages so that every kind meets several.
inline std::vector<TPageRecipe> GeneratedRecipes() {
  const std::vector<TPaperKind> papers = {TPaperKind::White, TPaperKind::Cream, TPaperKind::PastelBlue,
                                          TPaperKind::Recycled};
  const std::vector<TSheetWear> wears = {{false, false, false, false}, {true, false, false, false},
                                         {false, true, true, false},   {false, false, false, true},
                                         {true, true, true, true}};
  const std::vector<double> dpis = {100, 150, 200, 120, 300, 75};
  const std::vector<TPixelFormat> formats = {TPixelFormat::pf24bit, TPixelFormat::pf8bit, TPixelFormat::pf1bit,
                                             TPixelFormat::pf32bit, TPixelFormat::pf4bit};
  std::vector<TPageRecipe> recipes;
  std::uint32_t n = 0;
  const auto add = [&](TContentKind content, TPaperKind paper, const TSheetWear& wear, TPixelFormat format) {
    ++n;
    recipes.push_back({content, paper, wear, dpis[n % dpis.size()], format, n * 7919u});
  };
  // Blank sheets, every paper and wear in three formats.
  for (TPaperKind paper : papers)
    for (const TSheetWear& wear : wears)
      for (int f = 0; f < 3; ++f) add(TContentKind::None, paper, wear, formats[(f + n) % formats.size()]);
  // Near-empty pages: the cases that matter most.
  for (TContentKind content : {TContentKind::Signature, TContentKind::BlueSignature, TContentKind::PageNumber,
                               TContentKind::OneLine, TContentKind::RedStamp})
    for (TPaperKind paper : papers)
      for (const TSheetWear& wear : {wears[0], wears[4]})
        for (int f = 0; f < 2; ++f) add(content, paper, wear, formats[(f + n) % formats.size()]);
  // Full pages.
  for (TContentKind content : {TContentKind::Letter, TContentKind::LetterWithRedStamp,
                               TContentKind::LetterWithBlueSignature, TContentKind::ColourPhotograph,
                               TContentKind::GrayPhotograph, TContentKind::Logo})
    for (TPaperKind paper : papers) add(content, paper, wears[n % wears.size()], formats[n % formats.size()]);
  return recipes;
}

}  // namespace pagewell::testing
