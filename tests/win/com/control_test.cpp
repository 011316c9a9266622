// The control created through COM under Wine, as a page would: by ProgID,
// driven through IDispatch by name and through the ITwainForm vtable, its
// events heard through a connection point, its errors read back.
#include <gtest/gtest.h>
#include <ocidl.h>
#include <olectl.h>

#include <climits>
#include <string>
#include <vector>

#include "com/pagewell_h.h"
#include "com_test_support.h"
#include "event_recorder.h"

namespace {

using namespace comtest;

class ControlTest : public testing::Test {
 protected:
  static void SetUpTestSuite() { OleInitialize(nullptr); }
  static void TearDownTestSuite() { OleUninitialize(); }

  void SetUp() override {
    CLSID clsid;
    ASSERT_EQ(CLSIDFromProgID(L"Pagewell.TwainForm", &clsid), S_OK);
    ASSERT_TRUE(IsEqualGUID(clsid, CLSID_TwainForm));
    ASSERT_EQ(CoCreateInstance(clsid, nullptr, CLSCTX_INPROC_SERVER, IID_IDispatch, control.put_void()), S_OK);
    form = control.query<ITwainForm>(IID_ITwainForm);
    ASSERT_TRUE(form);
  }

  std::wstring text(const wchar_t* name) {
    Variant value;
    EXPECT_EQ(getProperty(control.get(), name, value.put()), S_OK) << "reading a text";
    return value.get()->vt == VT_BSTR ? std::wstring(Bstr::viewOf(value.get()->bstrVal)) : L"<not a text>";
  }
  long number(const wchar_t* name) {
    Variant value;
    EXPECT_EQ(getProperty(control.get(), name, value.put()), S_OK);
    Variant converted;
    EXPECT_EQ(VariantChangeType(converted.get(), value.get(), 0, VT_I4), S_OK);
    return converted.get()->lVal;
  }
  HWND formWindow() { return controlWindow(control.get()); }
  // The form's child window with this caption (any depth).
  HWND componentWithText(const std::wstring& caption) { return findChildWindow(formWindow(), caption); }
  DWORD connect(IDispatch* sink) {
    auto container = control.query<IConnectionPointContainer>(IID_IConnectionPointContainer);
    EXPECT_TRUE(container);
    EXPECT_EQ(container->FindConnectionPoint(DIID_ITwainFormEvents, point.put()), S_OK);
    DWORD cookie = 0;
    EXPECT_EQ(point->Advise(sink, &cookie), S_OK);
    return cookie;
  }

  // Sinks are declared first so that they outlive the control, which still
  // calls them with OnDestroy when the fixture releases it.
  EventRecorder sink, second;
  ComPtr<IDispatch> control;
  ComPtr<ITwainForm> form;
  ComPtr<IConnectionPoint> point;
};

TEST_F(ControlTest, DefaultsAfterCreation) {
  struct TextDefault {
    const wchar_t* member;
    const wchar_t* value;
  };
  const TextDefault texts[] = {
      {L"Version", L"Orlavex Pagewell, Version 1.3.0.0"},
      {L"FormTagName", L"Pagewell"},
      {L"FileFormat", L"FileName"},
      {L"FileName", L""},
      {L"FileNameExtension", L""},
      {L"UploadURL", L""},
      {L"Username", L""},
      {L"Password", L""},
      {L"UploadReturnString", L""},
      {L"SaveLocalError", L""},
      {L"AddText", L""},
      {L"CustomText1", L""},
      {L"CustomText10", L""},
      {L"Caption", L"TwainForm"},
      {L"HelpFile", L""},
  };
  for (const TextDefault& expected : texts)
    EXPECT_EQ(text(expected.member), expected.value) << std::string(expected.member, expected.member + wcslen(expected.member));
  struct NumberDefault {
    const wchar_t* member;
    long value;
  };
  const NumberDefault numbers[] = {
      {L"UploadTimeout", 60}, {L"ThumbRows", 3},       {L"ControlPanelTabs", 3}, {L"PagesSelected", 1},
      {L"ImageCount", 0},     {L"ImageIndex", 0},      {L"UploadStatus", 0},     {L"AuthenticationType", 0},
      {L"MaxUploadSize", 0},  {L"PageSizeMode", 1},    {L"RequiredWidth", 793},  {L"RequiredHeight", 593},
      {L"MultiImage", -1},    {L"UseInterface", -1},   {L"CloseInterface", -1},  {L"DebugAlerts", 0},
      {L"SaveLocalSuccess", 0}, {L"Visible", -1},      {L"Enabled", -1},         {L"PixelsPerInch", 96},
      {L"AxBorderStyle", 0},  {L"PrintScale", 1},      {L"Scaled", -1},          {L"KeyPreview", 0},
      {L"AlignDisabled", 0},  {L"VisibleDockClientCount", 0}, {L"Color", static_cast<long>(0x8000000F)},
  };
  for (const NumberDefault& expected : numbers)
    EXPECT_EQ(number(expected.member), expected.value) << std::string(expected.member, expected.member + wcslen(expected.member));
}

TEST_F(ControlTest, FontIsTheDesignFont) {
  Variant font;
  ASSERT_EQ(getProperty(control.get(), L"Font", font.put()), S_OK);
  ASSERT_EQ(font.get()->vt, VT_DISPATCH);
  ComPtr<IFont> details;
  ASSERT_EQ(font.get()->pdispVal->QueryInterface(IID_IFont, details.put_void()), S_OK);
  Bstr name;
  details->get_Name(name.put());
  EXPECT_EQ(name.view(), L"MS Sans Serif");
  CY size{};
  details->get_Size(&size);
  EXPECT_EQ(size.int64, 82500);  // 8.25 points: -11 pixels at 96 per inch
  HFONT handle = nullptr;
  details->get_hFont(&handle);
  LOGFONTW metrics{};
  GetObjectW(handle, sizeof metrics, &metrics);
  EXPECT_EQ(metrics.lfHeight, -11);
}

// The font object read from Font is the form's own: what a page changes on
// it shows on the components at once. A font written is copied, so later
// changes to the written object stay the page's own.
TEST_F(ControlTest, FontChangesShowOnTheForm) {
  HWND box = componentWithText(L"Acquire multiple images");
  ASSERT_NE(box, nullptr);
  auto shown = [box] {
    LOGFONTW description{};
    GetObjectW(reinterpret_cast<HFONT>(SendMessageW(box, WM_GETFONT, 0, 0)), sizeof description, &description);
    return description;
  };
  auto realised = [](IDispatch* font) {
    LOGFONTW description{};
    ComPtr<IFont> details;
    HFONT handle = nullptr;
    if (font->QueryInterface(IID_IFont, details.put_void()) == S_OK && details->get_hFont(&handle) == S_OK)
      GetObjectW(handle, sizeof description, &description);
    return description;
  };
  auto expectShown = [&](IDispatch* font, const std::string& step) {
    LOGFONTW expected = realised(font), actual = shown();
    EXPECT_NE(expected.lfHeight, 0) << step;
    EXPECT_EQ(actual.lfHeight, expected.lfHeight) << step;
    EXPECT_EQ(actual.lfWeight, expected.lfWeight) << step;
    EXPECT_EQ(actual.lfItalic, expected.lfItalic) << step;
    EXPECT_EQ(actual.lfUnderline, expected.lfUnderline) << step;
    EXPECT_EQ(std::wstring(actual.lfFaceName), std::wstring(expected.lfFaceName)) << step;
  };
  auto readFont = [&] {
    Variant value;
    EXPECT_EQ(getProperty(control.get(), L"Font", value.put()), S_OK);
    EXPECT_EQ(value.get()->vt, VT_DISPATCH);
    return value.get()->vt == VT_DISPATCH ? ComPtr<IDispatch>(value.get()->pdispVal) : ComPtr<IDispatch>();
  };
  ComPtr<IDispatch> font = readFont();
  ASSERT_TRUE(font);
  EXPECT_EQ(shown().lfHeight, -11);
  EXPECT_EQ(shown().lfWeight, FW_NORMAL);

  // As a script does it, through the font object's own IDispatch.
  Bstr arial(L"Arial");
  struct Change {
    const wchar_t* property;
    VARIANT value;
  };
  const Change changes[] = {
      {L"Size", longValue(14)},
      {L"Bold", boolValue(true)},
      {L"Italic", boolValue(true)},
      {L"Underline", boolValue(true)},
      {L"Name", textValue(arial)},
  };
  for (const Change& change : changes) {
    std::string step(change.property, change.property + wcslen(change.property));
    ASSERT_EQ(putProperty(font.get(), change.property, change.value), S_OK) << step;
    expectShown(font.get(), step);
  }
  EXPECT_LT(shown().lfHeight, -11);
  EXPECT_EQ(shown().lfWeight, FW_BOLD);
  EXPECT_TRUE(shown().lfItalic);
  // Font reads the same object back, with the changes.
  ComPtr<IDispatch> again = readFont();
  Variant bold;
  ASSERT_EQ(getProperty(again.get(), L"Bold", bold.put()), S_OK);
  EXPECT_EQ(bold.get()->boolVal, VARIANT_TRUE);

  // Writing a font: the form takes a copy.
  FONTDESC description{sizeof(FONTDESC), const_cast<LPOLESTR>(L"Courier New"), {}, FW_NORMAL, DEFAULT_CHARSET,
                       FALSE, FALSE, FALSE};
  description.cySize.int64 = 200000;  // 20 points
  ComPtr<IDispatch> written;
  ASSERT_EQ(OleCreateFontIndirect(&description, IID_IDispatch, written.put_void()), S_OK);
  VARIANT writtenValue;
  VariantInit(&writtenValue);
  writtenValue.vt = VT_DISPATCH;
  writtenValue.pdispVal = written.get();
  ASSERT_EQ(putProperty(control.get(), L"Font", writtenValue), S_OK);
  expectShown(written.get(), "Font written");
  const LONG writtenHeight = shown().lfHeight;
  ASSERT_EQ(putProperty(written.get(), L"Size", longValue(30)), S_OK);
  ASSERT_EQ(putProperty(font.get(), L"Size", longValue(30)), S_OK);  // no longer the form's
  EXPECT_EQ(shown().lfHeight, writtenHeight);
  ComPtr<IDispatch> copy = readFont();
  ASSERT_EQ(putProperty(copy.get(), L"Size", longValue(10)), S_OK);
  expectShown(copy.get(), "copy resized");
  EXPECT_GT(shown().lfHeight, writtenHeight);

  // Values the font object takes but that make no usual font still leave the
  // form with a working one.
  Bstr empty(L"");
  putProperty(copy.get(), L"Name", textValue(empty));
  putProperty(copy.get(), L"Size", longValue(0));
  putProperty(copy.get(), L"Size", longValue(-5));
  EXPECT_NE(GetObjectW(reinterpret_cast<HFONT>(SendMessageW(box, WM_GETFONT, 0, 0)), 0, nullptr), 0);

  // The page may keep the object after the control is gone.
  form.reset();
  control.reset();
  EXPECT_EQ(putProperty(copy.get(), L"Size", longValue(12)), S_OK);
}

// The about box is modal: a timer of this thread (which the dialog's own
// message loop serves) looks at the box once it is up and closes it with a
// message, so the test never waits on a person.
struct AboutBoxSeen {
  bool found = false;
  std::wstring title;
  std::vector<std::wstring> labels;
  HWND link = nullptr;
  LONG_PTR linkStyle = 0;
  bool linkUnderlined = false;
  COLORREF linkColour = CLR_INVALID;
  bool hasOkButton = false;
};
AboutBoxSeen g_aboutBox;

BOOL CALLBACK findDialog(HWND window, LPARAM found) {
  wchar_t className[16] = {};
  GetClassNameW(window, className, 16);
  if (lstrcmpW(className, L"#32770") != 0 || !IsWindowVisible(window)) return TRUE;
  *reinterpret_cast<HWND*>(found) = window;
  return FALSE;
}

std::wstring windowText(HWND window) {
  wchar_t buffer[256] = {};
  GetWindowTextW(window, buffer, 256);
  return buffer;
}

void CALLBACK inspectAboutBox(HWND, UINT, UINT_PTR, DWORD) {
  HWND dialog = nullptr;
  EnumThreadWindows(GetCurrentThreadId(), findDialog, reinterpret_cast<LPARAM>(&dialog));
  if (!dialog) return;  // not up yet
  if (!g_aboutBox.found) {
    g_aboutBox.found = true;
    g_aboutBox.title = windowText(dialog);
    for (HWND child = GetWindow(dialog, GW_CHILD); child; child = GetWindow(child, GW_HWNDNEXT)) {
      wchar_t className[16] = {};
      GetClassNameW(child, className, 16);
      if (lstrcmpiW(className, L"Button") == 0 && GetDlgCtrlID(child) == IDOK) g_aboutBox.hasOkButton = true;
      if (lstrcmpiW(className, L"Static") != 0) continue;
      g_aboutBox.labels.push_back(windowText(child));
      if (GetWindowLongPtrW(child, GWL_STYLE) & SS_NOTIFY) g_aboutBox.link = child;
    }
    if (HWND link = g_aboutBox.link) {
      g_aboutBox.linkStyle = GetWindowLongPtrW(link, GWL_STYLE);
      LOGFONTW font{};
      GetObjectW(reinterpret_cast<HFONT>(SendMessageW(link, WM_GETFONT, 0, 0)), sizeof font, &font);
      g_aboutBox.linkUnderlined = font.lfUnderline != 0;
      HDC dc = CreateCompatibleDC(nullptr);
      SendMessageW(dialog, WM_CTLCOLORSTATIC, reinterpret_cast<WPARAM>(dc), reinterpret_cast<LPARAM>(link));
      g_aboutBox.linkColour = GetTextColor(dc);
      DeleteDC(dc);
    }
  }
  PostMessageW(dialog, WM_COMMAND, MAKEWPARAM(IDCANCEL, BN_CLICKED), 0);
}

TEST_F(ControlTest, AboutBoxShowsNameVersionBuildAndLink) {
  g_aboutBox = AboutBoxSeen{};
  UINT_PTR timer = SetTimer(nullptr, 0, 50, inspectAboutBox);
  ASSERT_NE(timer, 0u);
  Variant result;
  HRESULT hr = callMethod(control.get(), L"AboutBox", {}, result.put());
  KillTimer(nullptr, timer);
  ASSERT_EQ(hr, S_OK);
  ASSERT_TRUE(g_aboutBox.found);
  EXPECT_EQ(g_aboutBox.title, L"About Pagewell");
  const std::vector<std::wstring> labels = {L"Orlavex Pagewell", L"Version 1.3", L"Build No.: 1.3.0.0",
                                            L"https://pagewell.example/"};
  EXPECT_EQ(g_aboutBox.labels, labels);
  EXPECT_TRUE(g_aboutBox.hasOkButton);
  // The link: the last label, the one that reports clicks, drawn as a link.
  ASSERT_NE(g_aboutBox.link, nullptr);
  EXPECT_EQ(g_aboutBox.linkStyle & SS_NOPREFIX, SS_NOPREFIX);
  EXPECT_TRUE(g_aboutBox.linkUnderlined);
  EXPECT_EQ(g_aboutBox.linkColour, GetSysColor(COLOR_HOTLIGHT));
}

// Each row: the member, the values written one after the other, and what
// reads back after each.
TEST_F(ControlTest, RangeRules) {
  struct Step {
    long written;
    long read;
  };
  struct Case {
    const wchar_t* member;
    std::vector<Step> steps;
  };
  const Case cases[] = {
      {L"AuthenticationType", {{257, 1}, {-1, 255}, {256, 0}, {INT_MIN, 0}, {2, 2}}},
      {L"PagesSelected", {{2, 2}, {0, 1}, {2, 2}, {7, 1}, {2, 2}, {1, 1}}},
      {L"MaxUploadSize", {{5, 5}, {-1, 5}, {0, 0}, {INT_MAX, INT_MAX}}},
      {L"UploadTimeout", {{-1, 60}, {0, 0}, {120, 120}, {INT_MIN, 120}}},
      {L"ThumbRows", {{0, 3}, {-5, 3}, {2, 2}}},
      {L"ControlPanelTabs", {{6, 3}, {0, 3}, {5, 5}, {1, 1}, {2, 2}}},
      {L"PageSizeMode", {{0, 1}, {4, 1}, {3, 3}, {2, 2}}},
      {L"AxBorderStyle", {{4, 0}, {-1, 0}, {2, 2}}},
      {L"PrintScale", {{3, 1}, {0, 0}}},
      {L"PixelsPerInch", {{0, 96}, {120, 120}}},
  };
  for (const Case& c : cases) {
    std::string member(c.member, c.member + wcslen(c.member));
    for (const Step& step : c.steps) {
      ASSERT_EQ(putProperty(control.get(), c.member, longValue(step.written)), S_OK) << member;
      EXPECT_EQ(number(c.member), step.read) << member << " after " << step.written;
    }
  }
}

TEST_F(ControlTest, FileFormatAndFileNameExtension) {
  const std::pair<const wchar_t*, const wchar_t*> formats[] = {
      {L"Jpg", L"JPG"}, {L"jpeg", L"JPG"}, {L"pdf", L"PDF"}, {L"FILENAME", L"FileName"},
      {L"tiff", L"FileName"}, {L"wbm", L"WBM"}, {L"", L"WBM"}, {L" bmp", L"WBM"},
  };
  for (const auto& [written, read] : formats) {
    Bstr value(written);
    ASSERT_EQ(putProperty(control.get(), L"FileFormat", textValue(value)), S_OK);
    EXPECT_EQ(text(L"FileFormat"), read);
  }
  const std::pair<const wchar_t*, const wchar_t*> names[] = {
      {L"scan.TIF", L".tif"}, {L"scan.jpeg", L""}, {L"scan.tiff", L""}, {L"scan", L""},
      {L"scan.txt", L""},     {L"a.pdf\\scan", L""}, {L"x.y.WBM", L".wbm"}, {L"c:\\d.e\\f.Psd", L".psd"},
      {L".png", L".png"},
  };
  for (const auto& [fileName, extension] : names) {
    Bstr value(fileName);
    ASSERT_EQ(putProperty(control.get(), L"FileName", textValue(value)), S_OK);
    EXPECT_EQ(text(L"FileName"), fileName);
    EXPECT_EQ(text(L"FileNameExtension"), extension);
  }
}

TEST_F(ControlTest, StateOfOnScreenControls) {
  // FileName is the text of the edit on the upload group.
  Bstr name(L"marker-name.pdf");
  ASSERT_EQ(form->put_FileName(name.get()), S_OK);
  EXPECT_NE(componentWithText(L"marker-name.pdf"), nullptr);
  HWND multiImage = componentWithText(L"Acquire multiple images");
  HWND closeInterface = componentWithText(L"Close interface after acquire");
  ASSERT_NE(multiImage, nullptr);
  ASSERT_NE(closeInterface, nullptr);
  EXPECT_EQ(SendMessageW(multiImage, BM_GETCHECK, 0, 0), BST_CHECKED);
  ASSERT_EQ(form->put_MultiImage(VARIANT_FALSE), S_OK);
  EXPECT_EQ(SendMessageW(multiImage, BM_GETCHECK, 0, 0), BST_UNCHECKED);
  // The check box's handler ran: closing the interface needs multi-image.
  EXPECT_FALSE(IsWindowEnabled(closeInterface));
  SendMessageW(multiImage, BM_CLICK, 0, 0);
  VARIANT_BOOL value = VARIANT_FALSE;
  ASSERT_EQ(form->get_MultiImage(&value), S_OK);
  EXPECT_EQ(value, VARIANT_TRUE);
  // Wine always lists its camera source: the first device is chosen and
  // shown in the device list, which is enabled.
  LONG deviceCount = 0;
  ASSERT_EQ(form->get_DeviceCount(&deviceCount), S_OK);
  EXPECT_GE(deviceCount, 1);
  Bstr deviceName;
  ASSERT_EQ(form->get_DeviceName(deviceName.put()), S_OK);
  HWND devices = componentWithText(std::wstring(deviceName.view()));
  ASSERT_NE(devices, nullptr);
  EXPECT_TRUE(IsWindowEnabled(devices));
  // Radio buttons follow PagesSelected.
  ASSERT_EQ(form->put_PagesSelected(2), S_OK);
  EXPECT_EQ(SendMessageW(componentWithText(L"All images"), BM_GETCHECK, 0, 0), BST_CHECKED);
  EXPECT_EQ(SendMessageW(componentWithText(L"Current image only"), BM_GETCHECK, 0, 0), BST_UNCHECKED);
  for (int n = 1; n <= 10; ++n) {
    std::wstring member = L"CustomText" + std::to_wstring(n);
    Bstr value(L"custom value " + std::to_wstring(n));
    ASSERT_EQ(putProperty(control.get(), member.c_str(), textValue(value)), S_OK);
    EXPECT_EQ(text(member.c_str()), value.view());
    EXPECT_NE(componentWithText(std::wstring(value.view())), nullptr);
  }
}

TEST_F(ControlTest, VtableCallsAndFormVars) {
  Bstr url(L"http://127.0.0.1/upload.php");
  ASSERT_EQ(form->put_UploadURL(url.get()), S_OK);
  Bstr read;
  ASSERT_EQ(form->get_UploadURL(read.put()), S_OK);
  EXPECT_EQ(read.view(), url.view());
  LONG count = 0;
  Bstr name(L"a"), value(L"b=c");
  ASSERT_EQ(form->AddFormVar(name.get(), value.get(), &count), S_OK);
  EXPECT_EQ(count, 1);
  ASSERT_EQ(form->AddFormVar(nullptr, nullptr, &count), S_OK);
  EXPECT_EQ(count, 2);
  ASSERT_EQ(form->AbortUpload(), S_OK);
}

// Every member is built: SetThumbnails, the last one, takes its values, and
// the interface still says that it reports error information.
TEST_F(ControlTest, SetThumbnailsAndErrorInformationSupport) {
  EXPECT_EQ(form->SetThumbnails(40, 50, 2), S_OK);
  LONG rows = 0;
  EXPECT_EQ(form->get_ThumbRows(&rows), S_OK);
  EXPECT_EQ(rows, 2);
  auto support = control.query<ISupportErrorInfo>(IID_ISupportErrorInfo);
  ASSERT_TRUE(support);
  EXPECT_EQ(support->InterfaceSupportsErrorInfo(IID_ITwainForm), S_OK);
}

TEST_F(ControlTest, EventsReachConnectedSinksOnly) {
  HWND custom = componentWithText(L"Custom");
  ASSERT_NE(custom, nullptr);
  SendMessageW(custom, BM_CLICK, 0, 0);  // nobody listening yet
  DWORD cookie = connect(&sink);
  SendMessageW(custom, BM_CLICK, 0, 0);
  EXPECT_EQ(sink.events, std::vector<DISPID>{212});
  // A click on the form itself, and its painting.
  HWND window = formWindow();
  SendMessageW(window, WM_LBUTTONUP, 0, MAKELPARAM(700, 600));
  SendMessageW(window, WM_LBUTTONDBLCLK, 0, MAKELPARAM(700, 600));
  SendMessageW(window, WM_PAINT, 0, 0);  // the form is parked, not on screen
  EXPECT_TRUE(sink.saw(202));
  EXPECT_TRUE(sink.saw(204));
  EXPECT_TRUE(sink.saw(208));
  ASSERT_EQ(point->Unadvise(cookie), S_OK);
  sink.events.clear();
  SendMessageW(custom, BM_CLICK, 0, 0);
  EXPECT_TRUE(sink.events.empty());
  EXPECT_EQ(point->Unadvise(cookie), CONNECT_E_NOCONNECTION);
}

// With KeyPreview on, the page sees every key first and may change it: a
// second sink sees the key as the first one left it.
TEST_F(ControlTest, KeyPressKeyIsWritableBySink) {
  EventRecorder& first = sink;
  connect(&first);
  connect(&second);
  HWND box = componentWithText(L"Acquire multiple images");
  ASSERT_NE(box, nullptr);
  SendMessageW(box, WM_CHAR, 'z', 0);  // KeyPreview off: the form does not look
  EXPECT_TRUE(first.keysSeen.empty());
  ASSERT_EQ(form->put_KeyPreview(VARIANT_TRUE), S_OK);
  first.replacementKey = 'b';
  second.replacementKey = 'b';
  SendMessageW(box, WM_CHAR, 'a', 0);
  EXPECT_EQ(first.keysSeen, std::vector<short>{'a'});
  EXPECT_EQ(second.keysSeen, std::vector<short>{'b'});
  // The form's own keys reach the page whatever KeyPreview says.
  SendMessageW(formWindow(), WM_CHAR, 'q', 0);
  EXPECT_EQ(first.keysSeen.back(), 'q');
}

TEST_F(ControlTest, OnDestroyReachesASinkStillConnected) {
  connect(&sink);
  point.reset();
  form.reset();
  control.reset();
  EXPECT_TRUE(sink.saw(205));
  EXPECT_EQ(sink.references, 0);
}

// Bad input at the boundary: a clean HRESULT, never a crash.
TEST_F(ControlTest, BadInputGivesCleanResults) {
  Bstr word(L"abc");
  VARIANT nullValue;
  VariantInit(&nullValue);
  nullValue.vt = VT_NULL;
  VARIANT hugeReal;
  VariantInit(&hugeReal);
  hugeReal.vt = VT_R8;
  hugeReal.dblVal = 1e300;
  VARIANT noObject;
  VariantInit(&noObject);
  noObject.vt = VT_DISPATCH;
  noObject.pdispVal = nullptr;
  EXPECT_EQ(putProperty(control.get(), L"UploadTimeout", textValue(word)), DISP_E_TYPEMISMATCH);
  EXPECT_EQ(putProperty(control.get(), L"UploadTimeout", hugeReal), DISP_E_OVERFLOW);
  EXPECT_EQ(putProperty(control.get(), L"MultiImage", textValue(word)), DISP_E_TYPEMISMATCH);
  EXPECT_NE(putProperty(control.get(), L"FileName", nullValue), S_OK);
  EXPECT_EQ(putProperty(control.get(), L"Font", noObject), DISP_E_EXCEPTION);
  EXPECT_EQ(putProperty(control.get(), L"Version", textValue(word)), DISP_E_MEMBERNOTFOUND);
  Variant result;
  EXPECT_EQ(callMethod(control.get(), L"AddFormVar", {textValue(word)}, result.put()), DISP_E_BADPARAMCOUNT);
  EXPECT_EQ(number(L"UploadTimeout"), 60);

  // NULL BSTRs are empty strings; NULL out-parameters are refused.
  EXPECT_EQ(form->put_UploadURL(nullptr), S_OK);
  EXPECT_EQ(form->put_FileName(nullptr), S_OK);
  EXPECT_EQ(form->put_FileFormat(nullptr), S_OK);
  EXPECT_EQ(text(L"FileFormat"), L"FileName");
  EXPECT_EQ(form->get_UploadURL(nullptr), E_POINTER);
  EXPECT_EQ(form->get_Version(nullptr), E_POINTER);
  EXPECT_EQ(form->get_ImageCount(nullptr), E_POINTER);
  EXPECT_EQ(form->get_Font(nullptr), E_POINTER);
  EXPECT_EQ(form->AddFormVar(nullptr, nullptr, nullptr), E_POINTER);
  EXPECT_EQ(form->SetLeft(nullptr, 0, nullptr), E_POINTER);
  EXPECT_EQ(form->put_Font(nullptr), E_INVALIDARG);
  EXPECT_EQ(form->put_Color(0xFFFFFFFF), S_OK);  // not a colour: ignored
  EXPECT_EQ(number(L"Color"), static_cast<long>(0x8000000F));
  EXPECT_EQ(form->put_ImageIndex(INT_MAX), S_OK);
  EXPECT_EQ(form->put_ImageIndex(INT_MIN), S_OK);
  EXPECT_EQ(number(L"ImageIndex"), 0);

  // A 1 MB string goes in and comes back whole.
  std::wstring big(1 << 20, L'x');
  big[12345] = L'\x00e9';
  Bstr large(big);
  for (const wchar_t* member : {L"UploadURL", L"FileName", L"CustomText3", L"AddText", L"Caption", L"Password"}) {
    ASSERT_EQ(putProperty(control.get(), member, textValue(large)), S_OK);
    EXPECT_TRUE(text(member) == big) << std::string(member, member + wcslen(member));
  }
  EXPECT_EQ(text(L"FileNameExtension"), L"");
  LONG count = 0;
  EXPECT_EQ(form->AddFormVar(large.get(), large.get(), &count), S_OK);
  EXPECT_EQ(count, 1);
}

}  // namespace
