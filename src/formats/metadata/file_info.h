#pragma once
// The file information travels with the page: it is declared with the
// bitmap; its Photoshop resources are declared here.
#include "imaging/file_info.h"
#include "formats/metadata/bim_segment.h"
