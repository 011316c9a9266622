#pragma once
// The image that scans arrive in is declared with the bitmap; its BMP
// reading and writing are defined in this folder.
#include "imaging/bmp_image.h"
#include "formats/memory_stream.h"
