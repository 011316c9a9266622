#pragma once
// The transparency record travels with the page: it is declared with the bitmap.
#include "imaging/alpha.h"
