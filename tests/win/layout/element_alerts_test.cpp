// The messages of the element methods, character for character: pages and
// their users compare them, so the odd spacing and wording stay as they are.
#include <gtest/gtest.h>

#include <string>

#include "element_alerts.h"

namespace {

using pagewell::elementAlertText;

struct AlertCase {
  const wchar_t* method;
  int code;
  const wchar_t* element;
  const wchar_t* expected;
};

const AlertCase kAlerts[] = {
    {L"SetLeft", 1, L"Frame99", L"SetLeft: Element name \"Frame99\" not recognised. Check spelling."},
    {L"SetHeight", 2, L"InputSelect", L"SetHeight: This property cannot be set for Element \"InputSelect\"."},
    {L"SetTop", 3, L"CurrentImage",
     L"SetTop: Specified value is not valid for Element \"CurrentImage\" and is ignored."},
    {L"SetWidth", 4, L"buttonacquire",
     L"SetWidth: Specified value is inconsistent with other property values for Element \"buttonacquire\" "
     L"or its container, but is accepted."},
    {L"SetWidth", 5, L"Thumbnails",
     L"SetWidth: Specified value is inconsistent with other property values for Element \"Thumbnails\".  "
     L"Set to a different value."},
    {L"SetText", 6, L"ProgressBar",
     L"SetText: Value give for Index is out of allowed range for Element \"ProgressBar\"."},
    {L"SetContainer", 7, L"ButtonAcquire", L"SetContainer: Element \"ButtonAcquire\" cannot contain another element."},
    {L"SetBorder", 8, L"Thumbnails", L"SetBorder: Number of thumbnail rows reduced to fit in available height."},
    {L"SetHeight", 9, L"Thumbnails", L"SetHeight: Height of Thumbnails element increased to fit single image."},
    {L"SetWidth", 10, L"Thumbnails", L"SetWidth: Width of Thumbnails element increased to fit single image."},
    {L"SetText", 99, L"InputWidth", L"SetText: Unidentified error for Element \"InputWidth\"."},
    // A code without a text of its own is still reported, never silently.
    {L"SetText", 42, L"InputWidth", L"SetText: Unidentified error for Element \"InputWidth\"."},
    // The name is shown as written, however odd.
    {L"HideElement", 1, L"", L"HideElement: Element name \"\" not recognised. Check spelling."},
    {L"ShowElement", 1, L"a\"b", L"ShowElement: Element name \"a\"b\" not recognised. Check spelling."},
};

TEST(ElementAlertText, EveryCodeReadsAsWritten) {
  for (const AlertCase& alert : kAlerts)
    EXPECT_EQ(elementAlertText(alert.method, alert.code, alert.element), alert.expected)
        << "code " << alert.code;
}

TEST(ElementAlertText, LongNamesArePassedOnWhole) {
  std::wstring name(100000, L'x');
  std::wstring text = elementAlertText(L"SetLeft", 1, name);
  EXPECT_NE(text.find(name), std::wstring::npos);
}

}  // namespace
