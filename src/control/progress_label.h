#pragma once
// The upload's progress bar (pbrUpload) and the label over it
// (lblProgress), shared by the encoding of several pages and the sending.
#include <string>

namespace pagewell {

class TTwainForm;

// The label takes the width of its text and stands centred over the bar,
// its top 20 pixels above the bar's.
void ShowProgressLabel(TTwainForm& form, const std::wstring& text);
void SetProgressPosition(TTwainForm& form, int percent);

}  // namespace pagewell
