// The letter on the virtual scanner's sheets: a letterhead with a coloured
// logo, the addressee, a heading, paragraphs, a photograph with its
// caption, a ruled table, a signature and a footer, laid out from the top
// down and left out where the sheet has no room for them.
#include <algorithm>
#include <cmath>
#include <iterator>
#include <string>
#include <vector>

#include "page_hash.h"
#include "sheet_documents.h"

namespace virtual_scanner {

namespace {

constexpr COLORREF kBlack = RGB(24, 24, 28);
constexpr COLORREF kGray = RGB(96, 96, 104);
constexpr COLORREF kNavy = RGB(22, 48, 112);
constexpr COLORREF kOrange = RGB(232, 122, 24);
constexpr COLORREF kInk = RGB(24, 44, 150);  // a ballpoint's blue

const TFontSpec kBody{L"DejaVu Serif", 10.5};
const TFontSpec kSmall{L"DejaVu Sans", 8};
const TFontSpec kCaption{L"DejaVu Serif", 8.5, false, true};
const TFontSpec kHeading{L"DejaVu Sans", 15, true};
const TFontSpec kCompany{L"DejaVu Sans", 20, true};
const TFontSpec kTableHead{L"DejaVu Sans", 9, true};
const TFontSpec kTableCell{L"DejaVu Sans", 9};

const wchar_t* const kHeadings[] = {
    L"Calibration report for your instruments",
    L"Service visit: findings and next steps",
    L"Renewal of your maintenance agreement",
    L"Results of the annual accuracy check",
    L"Replacement parts on order",
};

const wchar_t* const kParagraphs[] = {
    L"Thank you for sending your instruments to our Fenmore workshop for their yearly calibration. Each "
    L"one was checked against our reference standards on arrival, adjusted where it had drifted, and "
    L"checked again before it left us. The figures below are those of the final check, taken at twenty "
    L"degrees after the instruments had rested overnight in the laboratory.",
    L"Two of the gauges arrived with loose mounting screws, most likely from the journey. We tightened "
    L"them and replaced one worn washer at no charge. If the instruments travel often, the padded cases "
    L"from our catalogue keep them far steadier than the cardboard boxes they came in, and they fit the "
    L"shelves of the standard cabinet.",
    L"Our engineer will call on the fourteenth to fit the new sensor heads. The work takes about two "
    L"hours, during which the balance room should be closed. Please make sure that the mains supply to "
    L"the bench is switched off before he arrives, and that somebody with access to the cabinet keys is "
    L"on site for the whole visit.",
    L"Your agreement runs until the end of next month. Renewing it before then keeps the present rate "
    L"for another year and includes two service visits, priority repairs and the loan of a replacement "
    L"instrument while yours is with us. The enclosed form lists the instruments we hold on record; "
    L"please correct it if anything has changed.",
    L"The accuracy of every instrument lies well within the limits of its class. The thermometer on the "
    L"second bench read a little high at the top of its range, so we adjusted it and recorded the "
    L"correction on its certificate. Certificates for all items are enclosed and copies are kept in our "
    L"archive for six years.",
    L"Should any reading look doubtful between calibrations, our help desk answers on weekdays from eight "
    L"until six. Quote the serial number engraved on the base plate, and have the last certificate to "
    L"hand; most questions can be settled on the telephone without returning the instrument.",
    L"We would be glad to show your staff the new bench at our open day in the spring. The tour covers "
    L"the climate room, the reference weights and the way each measurement is traced back to the "
    L"national standards, and it ends with coffee in the workshop canteen.",
};

const wchar_t* const kInstruments[] = {L"Balance, 220 g", L"Thermometer, Pt100", L"Pressure gauge", L"Calliper, 150 mm",
                                       L"Hygrometer", L"Torque wrench", L"Multimeter", L"Timer"};

std::wstring Number(std::uint32_t value, int digits) {
  std::wstring text = std::to_wstring(value);
  while (static_cast<int>(text.size()) < digits) text.insert(text.begin(), L'0');
  return text;
}

// Where the next part of the letter goes, and whether there is room for it.
struct TCursor {
  double Left, Right, Y, Bottom;
  double Width() const { return Right - Left; }
  bool Fits(double height) const { return Y + height <= Bottom; }
};

void DrawLogo(TSheetCanvas& canvas, double x, double y, double size) {
  canvas.Ellipse(x, y, x + size, y + size, kNavy);
  const double inset = size * 0.22;
  canvas.Ellipse(x + inset, y + inset, x + size - inset, y + size - inset, RGB(255, 255, 255));
  canvas.Polygon({{x + size * 0.45, y + size * 0.55}, {x + size * 1.05, y + size * 0.35}, {x + size * 0.85, y + size * 1.0}},
                 kOrange);
}

double DrawLetterhead(TSheetCanvas& canvas, const TCursor& at) {
  const double logo = 0.72;
  DrawLogo(canvas, at.Left, at.Y, logo);
  const double x = at.Left + logo + 0.2;
  canvas.Text(x, at.Y + 0.02, kCompany, kNavy, L"Orlavex Instruments");
  canvas.Text(x, at.Y + 0.42, kSmall, kGray, L"7 Quayside Works \x00B7 Fenmore FN3 8QA \x00B7 01632 960 417 \x00B7 orlavex.example");
  canvas.FillRect(at.Left, at.Y + logo + 0.12, at.Right, at.Y + logo + 0.15, kOrange);
  return logo + 0.35;
}

double DrawAddress(TSheetCanvas& canvas, const TCursor& at, int page) {
  const wchar_t* const lines[] = {L"Ms Adela Brunswick", L"Facilities Manager", L"Harrowgate Laboratories",
                                  L"42 Mill Lane", L"Eastcombe EC4 2PL"};
  double y = at.Y;
  for (const wchar_t* line : lines) {
    canvas.Text(at.Left, y, kBody, kBlack, line);
    y += 0.18;
  }
  const std::wstring date = std::to_wstring(1 + PageHash(page, 11) % 28) + L" March 2026";
  const std::wstring reference = L"Our ref. OX/CAL/" + Number(PageHash(page, 12) % 10000, 4);
  canvas.Text(at.Right - canvas.TextWidth(kBody, date), at.Y, kBody, kBlack, date);
  canvas.Text(at.Right - canvas.TextWidth(kBody, reference), at.Y + 0.18, kBody, kBlack, reference);
  return y - at.Y + 0.2;
}

// A landscape photograph: sky, a low sun, hills and a field, with the
// soft gradients of a print.
std::uint32_t PhotoColor(double u, double v) {
  auto mix = [](double a, double b, double t) { return a + (b - a) * t; };
  double r, g, b;
  const double horizon = 0.55 + 0.08 * std::sin(u * 7.0) + 0.04 * std::sin(u * 17.0 + 1.0);
  if (v < horizon) {
    const double t = v / horizon;
    r = mix(70, 210, t), g = mix(120, 220, t), b = mix(200, 235, t);
    const double dx = (u - 0.72) * 1.5, dy = v - 0.3;
    const double sun = std::exp(-(dx * dx + dy * dy) * 60.0);
    r = mix(r, 255, sun), g = mix(g, 236, sun), b = mix(b, 150, sun);
  } else {
    const double t = (v - horizon) / (1 - horizon);
    const double rows = 0.5 + 0.5 * std::sin((u * 3 + t * 9) * 6.0);
    r = mix(90, 40, t) + rows * 12, g = mix(150, 95, t) + rows * 14, b = mix(60, 30, t);
  }
  auto byte = [](double c) { return static_cast<std::uint32_t>(std::clamp(c, 0.0, 255.0)); };
  return byte(r) | (byte(g) << 8) | (byte(b) << 16);
}

void DrawPhoto(TSheetCanvas& canvas, double left, double top, double width, double height) {
  canvas.Shade(left, top, left + width, top + height, PhotoColor);
  canvas.FrameRect(left, top, left + width, top + height, 0.01, kGray);
}

double DrawPhotoWithText(TSheetCanvas& canvas, const TCursor& at, const wchar_t* paragraph) {
  const double width = 2.6, height = 1.7;
  DrawPhoto(canvas, at.Left, at.Y, width, height);
  canvas.Text(at.Left, at.Y + height + 0.06, kCaption, kGray, L"The view from our Fenmore workshop.");
  const double column = at.Left + width + 0.25;
  const double text = canvas.Paragraph(column, at.Y, at.Right - column, kBody, kBlack, paragraph);
  return std::max(height + 0.25, text) + 0.2;
}

double DrawTable(TSheetCanvas& canvas, const TCursor& at, int page) {
  const double row = 0.26, rule = 0.02;
  const double columns[] = {0, 0.42, 0.62, 0.82, 1.0};  // fractions of the width
  const wchar_t* const heads[] = {L"Instrument", L"Serial no.", L"Deviation", L"Result"};
  const int rows = 5;
  auto x = [&](int c) { return at.Left + columns[c] * at.Width(); };
  canvas.FillRect(at.Left, at.Y, at.Right, at.Y + row, RGB(226, 230, 238));
  for (int r = 0; r <= rows; ++r) canvas.FillRect(at.Left, at.Y + r * row, at.Right, at.Y + r * row + rule, kBlack);
  for (int c = 0; c <= 4; ++c) canvas.FillRect(x(c), at.Y, x(c) + rule, at.Y + rows * row + rule, kBlack);
  for (int c = 0; c < 4; ++c) canvas.Text(x(c) + 0.07, at.Y + 0.06, kTableHead, kBlack, heads[c]);
  for (int r = 1; r < rows; ++r) {
    const std::uint32_t h = PageHash(page * 8 + r, 31);
    const int deviation = static_cast<int>(h % 41) - 20;
    const std::wstring cells[] = {
        kInstruments[(page + r * 3) % std::size(kInstruments)], L"OX-" + Number(h % 100000, 5),
        (deviation < 0 ? L"\x2212" : L"+") + std::to_wstring(std::abs(deviation) / 10) + L"." +
            std::to_wstring(std::abs(deviation) % 10) + L" %",
        std::abs(deviation) < 18 ? L"within limits" : L"adjusted"};
    for (int c = 0; c < 4; ++c) canvas.Text(x(c) + 0.07, at.Y + r * row + 0.06, kTableCell, kBlack, cells[c]);
  }
  return rows * row + 0.3;
}

}  // namespace

void DrawSignature(TSheetCanvas& canvas, double x, double y, int page) {
  std::vector<TInchPoint> path{{x, y + 0.25}};
  double cx = x;
  for (int loop = 0; loop < 8; ++loop) {
    const std::uint32_t h = PageHash(page * 16 + loop, 41);
    // A tall first letter, low loops after it, now and then an ascender
    // or a descender.
    const bool tall = loop == 0 || h % 5 == 0, low = !tall && h % 7 == 1;
    const double rise = tall ? 0.3 + (h >> 4) % 8 / 100.0 : 0.07 + (h >> 4) % 7 / 100.0;
    const double step = (tall ? 0.05 : 0.09) + (h >> 8) % 6 / 100.0;
    path.push_back({cx + step * 0.1, y + 0.25 - rise});
    path.push_back({cx + step * (tall ? 1.8 : 1.3), y + 0.25 - rise * 1.05});
    path.push_back({cx + step * 0.6, y + (low ? 0.45 : 0.27)});
    cx += step;
  }
  canvas.Stroke(path, 0.014, kInk);
  canvas.Stroke({{x - 0.05, y + 0.38}, {x + 0.4, y + 0.3}, {cx - 0.3, y + 0.44}, {cx + 0.25, y + 0.33}}, 0.012, kInk);
}

namespace {

double DrawClosing(TSheetCanvas& canvas, const TCursor& at, int page) {
  canvas.Text(at.Left, at.Y, kBody, kBlack, L"Yours sincerely,");
  DrawSignature(canvas, at.Left + 0.1, at.Y + 0.22, page);
  canvas.Text(at.Left, at.Y + 0.72, kBody, kBlack, L"Margit Ellery");
  canvas.Text(at.Left, at.Y + 0.9, kBody, kGray, L"Head of Metrology");
  return 1.15;
}

void DrawFooter(TSheetCanvas& canvas, double left, double right, double y, int page) {
  canvas.FillRect(left, y, right, y + 0.012, kGray);
  const std::wstring text = L"Orlavex Instruments Ltd \x00B7 Registered in Fenmore No. 0412 7788 \x00B7 Page " +
                            std::to_wstring(page);
  canvas.Text((left + right - canvas.TextWidth(kSmall, text)) / 2, y + 0.06, kSmall, kGray, text);
}

}  // namespace

void DrawLetter(TSheetCanvas& canvas, int page, const TLetterParts& parts, double width, double height) {
  const double margin = std::min(1.0, width * 0.12);
  TCursor at{margin, width - margin, std::min(0.6, height * 0.06), height - std::min(1.0, height * 0.1)};
  if (!parts.Text) {
    // The photograph alone, where the letter's would be.
    if (parts.Photo) DrawPhoto(canvas, std::min(4.5, width * 0.5), std::min(1.0, height * 0.1), 3.0, 2.5);
    return;
  }
  auto place = [&at](double needs, auto draw) {
    if (!at.Fits(needs)) return;
    at.Y += draw();
  };
  place(1.1, [&] { return DrawLetterhead(canvas, at); });
  place(1.1, [&] { return DrawAddress(canvas, at, page); });
  place(0.35, [&] {
    // Consecutive pages of a batch have different headings.
    canvas.Text(at.Left, at.Y, kHeading, kNavy, kHeadings[static_cast<unsigned>(page - 1) % std::size(kHeadings)]);
    return 0.42;
  });
  const std::size_t first = PageHash(page, 2) % std::size(kParagraphs);
  auto text = [&](std::size_t n) { return kParagraphs[(first + n) % std::size(kParagraphs)]; };
  auto paragraph = [&](std::size_t n) {
    place(0.9, [&] { return canvas.Paragraph(at.Left, at.Y, at.Width(), kBody, kBlack, text(n)) + 0.14; });
  };
  paragraph(0);
  if (parts.Photo) {
    place(2.1, [&] { return DrawPhotoWithText(canvas, at, text(1)); });
  } else {
    paragraph(1);
  }
  place(1.6, [&] { return DrawTable(canvas, at, page); });
  paragraph(2);
  place(1.15, [&] { return DrawClosing(canvas, at, page); });
  DrawFooter(canvas, at.Left, at.Right, at.Bottom + std::min(0.45, height * 0.04), page);
}

}  // namespace virtual_scanner
