#pragma once
// Layout helpers of text blocks, shared with the tests of the renderers.
#include <string>
#include <vector>

namespace pagewell {

// Splits at CR LF, LF CR, CR or LF; a two-character pair is one break.
std::vector<std::wstring> SplitTextLines(const std::wstring& text);

}  // namespace pagewell
