#pragma once
// The page operations of the command line, done as the control's editing
// commands do them: rotation and deskew without smoothing on a white fill.
#include "convert_options.h"
#include "imaging/lu_bitmap.h"

namespace pagewell::convert {

void ApplyOperation(TluBitmap& page, const TPageOperation& operation);

}  // namespace pagewell::convert
