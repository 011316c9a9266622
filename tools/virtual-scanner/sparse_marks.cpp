// The marks of a nearly empty sheet: the pages blank-page removal must
// never take for blank.
#include <string>

#include "sheet_documents.h"

namespace virtual_scanner {
namespace {

constexpr COLORREF kBlack = RGB(24, 24, 28);
constexpr COLORREF kStampRed = RGB(196, 32, 40);
const TFontSpec kLine{L"DejaVu Serif", 11};
const TFontSpec kNumber{L"DejaVu Serif", 10};
const TFontSpec kStampWord{L"DejaVu Sans", 11, true};
const TFontSpec kStampDate{L"DejaVu Sans", 8};

void DrawStamp(TSheetCanvas& canvas, double left, double top, int page) {
  const double width = 1.35, height = 0.5;
  canvas.FrameRect(left, top, left + width, top + height, 0.03, kStampRed);
  canvas.Text(left + 0.15, top + 0.06, kStampWord, kStampRed, L"RECEIVED");
  canvas.Text(left + 0.2, top + 0.3, kStampDate, kStampRed, L"2026-11-" + std::to_wstring(10 + page % 18));
}

}  // namespace

void DrawSparseMarks(TSheetCanvas& canvas, int page, const TSparseMarks& marks, double width, double height) {
  if (marks.OneLine) canvas.Text(1.0, 1.0, kLine, kBlack, L"Please find the signed copy of the agreement enclosed.");
  if (marks.Stamp) DrawStamp(canvas, width - 2.4, 1.4, page);
  if (marks.Signature) DrawSignature(canvas, width - 3.0, height - 3.2, page);
  if (marks.PageNumber) {
    const std::wstring number = L"- " + std::to_wstring(page) + L" -";
    canvas.Text((width - canvas.TextWidth(kNumber, number)) / 2, height - 0.75, kNumber, kBlack, number);
  }
}

}  // namespace virtual_scanner
