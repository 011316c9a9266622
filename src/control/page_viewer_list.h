#pragma once
// TPWIList: the form's page list. Each page is a page viewer (TPWImage)
// that owns the page's full bitmap and is at the same time its thumbnail
// in the strip; the list owns the page viewers.
#include "page_chain.h"
#include "viewer/pw_image.h"

namespace pagewell {

class TPWIList : public TPageChain<TPWImage> {};

}  // namespace pagewell
