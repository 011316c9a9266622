#pragma once
// The result codes of the element methods and the warnings of the thumbnail
// layout, and the message a page sees for each while DebugAlerts is on.
#include <string>
#include <string_view>

namespace pagewell {

// Result codes every element method returns (0: all went as asked).
enum ElementResult : int {
  kElementOk = 0,
  kElementUnknown = 1,            // name not in the element table
  kElementNotApplicable = 2,      // the method does not apply to the element
  kElementValueRefused = 3,       // value refused, nothing changed
  kElementOutsideContainer = 4,   // applied, but reaches beyond its container
  kElementValueReplaced = 5,      // replaced by the nearest allowed value
  kElementIndexOutOfRange = 6,    // Index out of range
  kElementCannotContain = 7,      // the container may not contain elements
  kThumbRowsReduced = 8,          // warning: rows dropped
  kThumbStripHeightened = 9,      // warning: strip made higher
  kThumbStripWidened = 10,        // warning: strip made wider
  kElementUnidentified = 99,      // anything else
};

// The message for `code`: the method's name followed by the code's text,
// naming `element` as the caller wrote it. Codes without a text of their
// own read as 99.
std::wstring elementAlertText(std::wstring_view method, int code, std::wstring_view element);

}  // namespace pagewell
