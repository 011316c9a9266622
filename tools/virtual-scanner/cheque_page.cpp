// The cheque on the virtual scanner's sheets: a tinted security ground,
// the bank, date, payee, amount in figures and words, a signature and the
// MICR line in the E-13B band along the bottom edge.
#include <cmath>
#include <string>
#include <vector>

#include "page_hash.h"
#include "sheet_documents.h"

namespace virtual_scanner {
namespace {

constexpr COLORREF kBlack = RGB(24, 24, 28);
constexpr COLORREF kGreen = RGB(30, 90, 70);
constexpr COLORREF kInk = RGB(24, 44, 150);

const TFontSpec kBank{L"DejaVu Serif", 13, true};
const TFontSpec kSmall{L"DejaVu Sans", 6.5};
const TFontSpec kHand{L"DejaVu Serif", 11, false, true};
const TFontSpec kAmount{L"DejaVu Sans", 11, true};
const TFontSpec kMicrDigits{L"DejaVu Sans Mono", 12, true};

struct TAmount {
  const wchar_t* Figures;
  const wchar_t* Words;
};
const TAmount kAmounts[] = {
    {L"1,284.50", L"One thousand two hundred and eighty-four pounds 50"},
    {L"312.00", L"Three hundred and twelve pounds only"},
    {L"47.95", L"Forty-seven pounds 95"},
    {L"9,600.00", L"Nine thousand six hundred pounds only"},
};

// The security ground: a pale tint crossed by fine wavy lines.
std::uint32_t TintColor(double u, double v) {
  const double wave = std::sin((v * 14 + std::sin(u * 9) * 0.6) * 6.283);
  const double line = wave > 0.93 ? 1.0 : 0.0;
  const unsigned r = static_cast<unsigned>(232 - 14 * line - 6 * u);
  const unsigned g = static_cast<unsigned>(242 - 10 * line - 4 * v);
  const unsigned b = static_cast<unsigned>(234 - 12 * line);
  return r | (g << 8) | (b << 16);
}

// The E-13B symbols as their bar shapes in a character cell.
void DrawMicrSymbol(TSheetCanvas& canvas, char symbol, double x, double top, double cell, double height) {
  const double bar = cell * 0.22;
  switch (symbol) {
    case 'a':  // transit
      canvas.FillRect(x, top, x + bar, top + height, kBlack);
      canvas.FillRect(x + cell * 0.45, top, x + cell * 0.8, top + height * 0.38, kBlack);
      canvas.FillRect(x + cell * 0.45, top + height * 0.62, x + cell * 0.8, top + height, kBlack);
      break;
    case 'b':  // amount
      canvas.FillRect(x, top, x + bar, top + height * 0.7, kBlack);
      canvas.FillRect(x + cell * 0.35, top + height * 0.3, x + cell * 0.55, top + height, kBlack);
      canvas.FillRect(x + cell * 0.65, top + height * 0.3, x + cell * 0.85, top + height * 0.7, kBlack);
      break;
    case 'c':  // on-us
      canvas.FillRect(x, top, x + bar, top + height * 0.75, kBlack);
      canvas.FillRect(x + cell * 0.35, top, x + cell * 0.55, top + height * 0.75, kBlack);
      canvas.FillRect(x + cell * 0.65, top + height * 0.85, x + cell * 0.85, top + height, kBlack);
      break;
    case 'd':  // dash
      for (int i = 0; i < 3; ++i)
        canvas.FillRect(x + i * cell * 0.3, top + height * 0.3, x + i * cell * 0.3 + cell * 0.18, top + height * 0.7, kBlack);
      break;
    default: break;
  }
}

void DrawMicrLine(TSheetCanvas& canvas, const std::string& micr, double left, double baseline) {
  // E-13B: characters 0.117 inch high on a 0.125 inch pitch.
  const double pitch = 0.125, height = 0.117;
  double x = left;
  for (char c : micr) {
    if (c >= '0' && c <= '9') {
      canvas.Text(x - 0.005, baseline - height - 0.045, kMicrDigits, kBlack, std::wstring(1, static_cast<wchar_t>(c)));
    } else {
      DrawMicrSymbol(canvas, c, x + 0.01, baseline - height, pitch * 0.85, height);
    }
    x += pitch;
  }
}

std::string MadeUpMicr(int page) {
  return "c" + std::to_string(100000 + PageHash(page, 51) % 900000) + "c a" +
         std::to_string(100000000 + PageHash(page, 52) % 900000000) + "a " + std::to_string(PageHash(page, 53) % 10000) +
         "d";
}

}  // namespace

void DrawCheque(TSheetCanvas& canvas, int page, const std::string& micr, double width, double height) {
  canvas.Shade(0, 0, width, height, TintColor);
  const double left = 0.25, right = width - 0.25;
  canvas.Text(left, 0.18, kBank, kGreen, L"Fenmore Savings Bank");
  canvas.Text(left, 0.42, kSmall, kGreen, L"12 Market Square, Fenmore FN1 2AB  \x00B7  sort code 40-18-27");
  canvas.Text(right - 1.9, 0.22, kSmall, kBlack, L"Date");
  canvas.Text(right - 1.55, 0.12, kHand, kInk, std::to_wstring(1 + PageHash(page, 54) % 28) + L" March 2026");
  canvas.FillRect(right - 1.6, 0.34, right, 0.35, kBlack);

  canvas.Text(left, 0.82, kSmall, kBlack, L"Pay");
  canvas.Text(left + 0.4, 0.7, kHand, kInk, L"Harrowgate Laboratories");
  canvas.FillRect(left + 0.3, 0.92, right - 1.45, 0.93, kBlack);
  const TAmount& amount = kAmounts[PageHash(page, 55) % (sizeof kAmounts / sizeof kAmounts[0])];
  canvas.FrameRect(right - 1.3, 0.66, right, 0.98, 0.012, kBlack);
  canvas.Text(right - 1.25, 0.72, kAmount, kBlack, L"\x00A3");
  canvas.Text(right - 1.05, 0.72, kAmount, kInk, amount.Figures);
  canvas.Text(left + 0.1, 1.08, kHand, kInk, amount.Words);
  canvas.FillRect(left, 1.3, right - 1.45, 1.31, kBlack);

  canvas.Text(left, 1.62, kSmall, kBlack, L"Memo: invoice " + std::to_wstring(2000 + PageHash(page, 56) % 8000));
  canvas.FillRect(right - 2.0, 1.82, right, 1.83, kBlack);
  canvas.Text(right - 2.0, 1.86, kSmall, kBlack, L"Harrowgate Laboratories Ltd");
  std::vector<TInchPoint> signature{{right - 1.85, 1.75}};
  double x = right - 1.85;
  for (int loop = 0; loop < 6; ++loop) {
    const std::uint32_t h = PageHash(page * 8 + loop, 57);
    const double rise = 0.1 + (h % 12) / 100.0, step = 0.12 + (h >> 8) % 6 / 100.0;
    signature.push_back({x + step * 0.2, 1.75 - rise});
    signature.push_back({x + step * 1.4, 1.75 - rise * 1.1});
    signature.push_back({x + step * 0.7, 1.79});
    x += step;
  }
  canvas.Stroke(signature, 0.012, kInk);

  // The MICR band: the bottom 5/8 inch, characters 3/16 inch above the edge.
  DrawMicrLine(canvas, micr.empty() ? MadeUpMicr(page) : micr, 0.6, height - 0.1875);
}

}  // namespace virtual_scanner
