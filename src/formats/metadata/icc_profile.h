#pragma once
// The ICC profile travels with the page: it is declared with the bitmap.
#include "imaging/icc_profile.h"
