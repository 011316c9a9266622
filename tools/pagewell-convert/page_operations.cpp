#include "page_operations.h"

namespace pagewell::convert {

void ApplyOperation(TluBitmap& page, const TPageOperation& operation) {
  const auto& v = operation.Values;
  switch (operation.Kind) {
    case TOperationKind::Dpi:
      page.SetXDpi(static_cast<int>(v[0]));
      page.SetYDpi(static_cast<int>(v[1]));
      break;
    case TOperationKind::ColorMode:
      page.SetColorMode(static_cast<TColorMode>(static_cast<int>(v[0])));
      break;
    case TOperationKind::Rotate:
      page.Rotate(false, clWhite, v[0]);
      break;
    case TOperationKind::Flip:
      page.Flip(static_cast<int>(v[0]));
      break;
    case TOperationKind::Crop:
      page.Crop(static_cast<int>(v[0]), static_cast<int>(v[1]), static_cast<int>(v[2]), static_cast<int>(v[3]));
      break;
    case TOperationKind::Deskew:
      page.Deskew(static_cast<int>(v[0]), false, clWhite);
      break;
    case TOperationKind::Despeckle:
      page.Despeckle(static_cast<int>(v[0]));
      break;
  }
}

}  // namespace pagewell::convert
