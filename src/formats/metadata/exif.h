#pragma once
// The Exif record travels with the page: it is declared with the bitmap.
#include "imaging/exif.h"
