#pragma once
// The editing buttons: turns, deskew, despeckle and the text stamp on the
// current page or, with rdbAll, on every page in list order; the crop, always
// on the current page, through a rectangle dragged on the main viewer.
#include <string>

namespace pagewell {

class TTwainForm;

// Runs the command of an editing button; false when the button is not one.
bool RunEditingCommand(TTwainForm& form, const std::string& buttonName);

}  // namespace pagewell
