// The control's own ITwainForm members (DISPIDs 217 to 283). Members whose
// behaviour belongs to the scan panel, the page list, the editing commands,
// the local save or the upload answer E_NOTIMPL with a message until those
// parts are built; they never invent a value.
#include <stdexcept>
#include <string>

#include "com/control_object.h"
#include "com/member_helpers.h"
#include "file_format.h"
#include "acquired_page_filter.h"
#include "imaging/lu_bitmap.h"
#include "local_save.h"
#include "page_images.h"
#include "scan_panel.h"
#include "text/wide_text.h"
#include "twain_form.h"
#include "viewer/pw_image.h"

namespace pagewell {
namespace {

const wchar_t kVersion[] = L"Orlavex Pagewell, Version 1.3.0.0";

const char* customTextEdit(int number) {
  static const char* const kEdits[] = {"edtText1", "edtText2", "edtText3", "edtText4", "edtText5",
                                       "edtText6", "edtText7", "edtText8", "edtText9", "edtText10"};
  return kEdits[number - 1];
}

long windowExtent(HWND window, bool width) {
  RECT bounds;
  GetWindowRect(window, &bounds);
  return width ? bounds.right - bounds.left : bounds.bottom - bounds.top;
}

}  // namespace

// --- element layout -------------------------------------------------------------

// Element methods never fail at the interface: every refusal is a result
// code (and, with DebugAlerts, a message box).
HRESULT TwainFormControl::SetLeft(BSTR Element, LONG Left, LONG* Result) {
  return guardedGet(Result, [&] { return static_cast<LONG>(form_->setElementLeft(Bstr::viewOf(Element), Left)); });
}
HRESULT TwainFormControl::SetTop(BSTR Element, LONG Top, LONG* Result) {
  return guardedGet(Result, [&] { return static_cast<LONG>(form_->setElementTop(Bstr::viewOf(Element), Top)); });
}
HRESULT TwainFormControl::SetWidth(BSTR Element, LONG Width, LONG* Result) {
  return guardedGet(Result,
                    [&] { return static_cast<LONG>(form_->setElementWidth(Bstr::viewOf(Element), Width)); });
}
HRESULT TwainFormControl::SetHeight(BSTR Element, LONG Height, LONG* Result) {
  return guardedGet(Result,
                    [&] { return static_cast<LONG>(form_->setElementHeight(Bstr::viewOf(Element), Height)); });
}
HRESULT TwainFormControl::SetBorder(BSTR Element, LONG Border, LONG* Result) {
  return guardedGet(Result,
                    [&] { return static_cast<LONG>(form_->setElementBorder(Bstr::viewOf(Element), Border)); });
}
HRESULT TwainFormControl::SetText(BSTR Element, BSTR Text, LONG Index, LONG* Result) {
  return guardedGet(Result, [&] {
    return static_cast<LONG>(form_->setElementText(Bstr::viewOf(Element), Bstr::viewOf(Text), Index));
  });
}
HRESULT TwainFormControl::SetContainer(BSTR Element, BSTR Container, LONG* Result) {
  return guardedGet(Result, [&] {
    return static_cast<LONG>(form_->setElementContainer(Bstr::viewOf(Element), Bstr::viewOf(Container)));
  });
}
HRESULT TwainFormControl::SetColor(BSTR Element, OLE_COLOR Color, LONG* Result) {
  return guardedGet(Result,
                    [&] { return static_cast<LONG>(form_->setElementColor(Bstr::viewOf(Element), Color)); });
}
HRESULT TwainFormControl::HideElement(BSTR Element, LONG* Result) {
  return guardedGet(Result, [&] { return static_cast<LONG>(form_->hideElement(Bstr::viewOf(Element))); });
}
HRESULT TwainFormControl::ShowElement(BSTR Element, LONG* Result) {
  return guardedGet(Result, [&] { return static_cast<LONG>(form_->showElement(Bstr::viewOf(Element))); });
}

HRESULT TwainFormControl::get_DebugAlerts(VARIANT_BOOL* Value) {
  return guardedGet(Value, [&] { return toVariantBool(form_->state().debugAlerts); });
}
// A page that turns the alerts on hears, once, what is wrong with the
// machine's list of sites: an administrator's mistyped entry otherwise
// only shows as a site that does not work.
HRESULT TwainFormControl::put_DebugAlerts(VARIANT_BOOL Value) {
  return guarded([&] {
    const bool turnedOn = fromVariantBool(Value) && !form_->state().debugAlerts;
    form_->state().debugAlerts = fromVariantBool(Value);
    if (!turnedOn || policyProblemsShown_) return;
    policyProblemsShown_ = true;
    form_->alertLines(siteLock_.policyProblems());
  });
}
HRESULT TwainFormControl::get_ControlPanelTabs(LONG* Value) {
  return guardedGet(Value, [&] { return static_cast<LONG>(form_->state().controlPanelTabs); });
}
HRESULT TwainFormControl::put_ControlPanelTabs(LONG Value) {
  return guarded([&] { form_->setControlPanelTabs(Value); });
}
HRESULT TwainFormControl::get_RequiredWidth(LONG* Value) {
  return guardedGet(Value, [&] { return windowExtent(form_->window(), true); });
}
HRESULT TwainFormControl::get_RequiredHeight(LONG* Value) {
  return guardedGet(Value, [&] { return windowExtent(form_->window(), false); });
}

// --- thumbnails and pages ----------------------------------------------------------

HRESULT TwainFormControl::get_ThumbRows(LONG* Value) {
  return guardedGet(Value, [&] { return static_cast<LONG>(form_->state().thumbRows); });
}
HRESULT TwainFormControl::put_ThumbRows(LONG Value) {
  return guarded([&] { form_->setThumbRows(Value); });
}
HRESULT TwainFormControl::SetThumbnails(LONG Width, LONG Height, LONG Rows) {
  return guarded([&] { form_->setThumbnails(Width, Height, Rows); });
}
HRESULT TwainFormControl::get_ImageIndex(LONG* Value) {
  return guardedGet(Value, [&] {
    return static_cast<LONG>(form_->currentPage());
  });
}
// Only 1..count names a page; with no page held every value is ignored.
HRESULT TwainFormControl::put_ImageIndex(LONG Value) {
  return guarded([&] { form_->setImageIndex(Value); });
}
HRESULT TwainFormControl::get_ImageCount(LONG* Value) {
  return guardedGet(Value, [&] { return static_cast<LONG>(form_->pageCount()); });
}
HRESULT TwainFormControl::Clear() {
  return guarded([&] { form_->clearPages(); });
}
HRESULT TwainFormControl::get_PagesSelected(LONG* Value) {
  return guardedGet(Value, [&] { return form_->checked("rdbSingle") ? 1L : 2L; });
}
HRESULT TwainFormControl::put_PagesSelected(LONG Value) {
  return guarded([&] { form_->selectPages(Value == 2); });
}

// --- upload ---------------------------------------------------------------------------

HRESULT TwainFormControl::get_Username(BSTR* Value) {
  return guardedGetString(Value, [&] { return form_->state().username; });
}
HRESULT TwainFormControl::put_Username(BSTR Value) {
  return guarded([&] { form_->state().username = Bstr::viewOf(Value); });
}
HRESULT TwainFormControl::get_Password(BSTR* Value) {
  return guardedGetString(Value, [&] { return form_->state().password; });
}
HRESULT TwainFormControl::put_Password(BSTR Value) {
  return guarded([&] { form_->state().password = Bstr::viewOf(Value); });
}
HRESULT TwainFormControl::get_UploadStatus(LONG* Value) {
  return guardedGet(Value, [&] { return static_cast<LONG>(form_->state().uploadStatus); });
}
HRESULT TwainFormControl::get_AuthenticationType(LONG* Value) {
  return guardedGet(Value, [&] { return static_cast<LONG>(form_->state().authenticationType); });
}
// Kept in one byte: the low 8 bits of the value.
HRESULT TwainFormControl::put_AuthenticationType(LONG Value) {
  return guarded([&] { form_->state().authenticationType = static_cast<unsigned char>(Value & 0xFF); });
}
HRESULT TwainFormControl::get_UploadURL(BSTR* Value) {
  return guardedGetString(Value, [&] { return form_->state().uploadUrl; });
}
HRESULT TwainFormControl::put_UploadURL(BSTR Value) {
  return guarded([&] { form_->state().uploadUrl = Bstr::viewOf(Value); });
}
HRESULT TwainFormControl::get_UploadTimeout(LONG* Value) {
  return guardedGet(Value, [&] { return static_cast<LONG>(form_->state().uploadTimeout); });
}
HRESULT TwainFormControl::put_UploadTimeout(LONG Value) {
  return guarded([&] {
    if (Value >= 0) form_->state().uploadTimeout = Value;
  });
}
HRESULT TwainFormControl::get_UploadReturnString(BSTR* Value) {
  return guardedGetString(Value, [&] { return form_->state().uploadReturnString; });
}
// Each entry is kept as it goes onto the network: Name=Value in the ANSI
// code page.
HRESULT TwainFormControl::AddFormVar(BSTR Name, BSTR Value, LONG* RetValue) {
  return guardedGet(RetValue, [&] {
    std::wstring entry = std::wstring(Bstr::viewOf(Name)) + L"=" + std::wstring(Bstr::viewOf(Value));
    auto& formVars = form_->state().formVars;
    formVars.push_back(ansiFromWide(entry));
    return static_cast<LONG>(formVars.size());
  });
}
HRESULT TwainFormControl::get_FormTagName(BSTR* Value) {
  return guardedGetString(Value, [&] { return form_->state().formTagName; });
}
HRESULT TwainFormControl::put_FormTagName(BSTR Value) {
  return guarded([&] { form_->state().formTagName = Bstr::viewOf(Value); });
}
HRESULT TwainFormControl::AbortUpload() {
  return guarded([&] { form_->state().abortUpload = true; });
}
HRESULT TwainFormControl::Upload() {
  return guarded([&] { form_->upload(); });
}
HRESULT TwainFormControl::get_MaxUploadSize(LONG* Value) {
  return guardedGet(Value, [&] { return static_cast<LONG>(form_->state().maxUploadSize); });
}
HRESULT TwainFormControl::put_MaxUploadSize(LONG Value) {
  return guarded([&] {
    if (Value >= 0) form_->state().maxUploadSize = Value;
  });
}

// --- output ---------------------------------------------------------------------------

HRESULT TwainFormControl::get_FileFormat(BSTR* Value) {
  return guardedGetString(Value, [&] { return form_->state().fileFormat; });
}
HRESULT TwainFormControl::put_FileFormat(BSTR Value) {
  return guarded([&] {
    if (auto stored = storedFileFormat(Bstr::viewOf(Value))) form_->state().fileFormat = *stored;
  });
}
HRESULT TwainFormControl::get_FileName(BSTR* Value) {
  return guardedGetString(Value, [&] { return form_->text("edtFileName"); });
}
HRESULT TwainFormControl::put_FileName(BSTR Value) {
  return guarded([&] { form_->setText("edtFileName", Bstr::viewOf(Value)); });
}
HRESULT TwainFormControl::get_FileNameExtension(BSTR* Value) {
  return guardedGetString(Value, [&] { return outputExtension(form_->text("edtFileName")); });
}
HRESULT TwainFormControl::get_SaveLocalSuccess(VARIANT_BOOL* Value) {
  return guardedGet(Value, [&] { return toVariantBool(form_->state().saveLocalSuccess); });
}
HRESULT TwainFormControl::get_SaveLocalError(BSTR* Value) {
  return guardedGetString(Value, [&] { return form_->state().saveLocalError; });
}
HRESULT TwainFormControl::SaveUploadReturnString(BSTR FileName) {
  return guarded([&] { pagewell::SaveUploadReturnString(*form_, Bstr::viewOf(FileName)); });
}
HRESULT TwainFormControl::get_AddText(BSTR* Value) {
  return guardedGetString(Value, [&] { return form_->text("edtText"); });
}
HRESULT TwainFormControl::put_AddText(BSTR Value) {
  return guarded([&] { form_->setText("edtText", Bstr::viewOf(Value)); });
}

HRESULT TwainFormControl::getCustomText(int number, BSTR* Value) {
  return guardedGetString(Value, [&] { return form_->text(customTextEdit(number)); });
}
HRESULT TwainFormControl::putCustomText(int number, BSTR Value) {
  return guarded([&] { form_->setText(customTextEdit(number), Bstr::viewOf(Value)); });
}
HRESULT TwainFormControl::get_CustomText1(BSTR* Value) { return getCustomText(1, Value); }
HRESULT TwainFormControl::put_CustomText1(BSTR Value) { return putCustomText(1, Value); }
HRESULT TwainFormControl::get_CustomText2(BSTR* Value) { return getCustomText(2, Value); }
HRESULT TwainFormControl::put_CustomText2(BSTR Value) { return putCustomText(2, Value); }
HRESULT TwainFormControl::get_CustomText3(BSTR* Value) { return getCustomText(3, Value); }
HRESULT TwainFormControl::put_CustomText3(BSTR Value) { return putCustomText(3, Value); }
HRESULT TwainFormControl::get_CustomText4(BSTR* Value) { return getCustomText(4, Value); }
HRESULT TwainFormControl::put_CustomText4(BSTR Value) { return putCustomText(4, Value); }
HRESULT TwainFormControl::get_CustomText5(BSTR* Value) { return getCustomText(5, Value); }
HRESULT TwainFormControl::put_CustomText5(BSTR Value) { return putCustomText(5, Value); }
HRESULT TwainFormControl::get_CustomText6(BSTR* Value) { return getCustomText(6, Value); }
HRESULT TwainFormControl::put_CustomText6(BSTR Value) { return putCustomText(6, Value); }
HRESULT TwainFormControl::get_CustomText7(BSTR* Value) { return getCustomText(7, Value); }
HRESULT TwainFormControl::put_CustomText7(BSTR Value) { return putCustomText(7, Value); }
HRESULT TwainFormControl::get_CustomText8(BSTR* Value) { return getCustomText(8, Value); }
HRESULT TwainFormControl::put_CustomText8(BSTR Value) { return putCustomText(8, Value); }
HRESULT TwainFormControl::get_CustomText9(BSTR* Value) { return getCustomText(9, Value); }
HRESULT TwainFormControl::put_CustomText9(BSTR Value) { return putCustomText(9, Value); }
HRESULT TwainFormControl::get_CustomText10(BSTR* Value) { return getCustomText(10, Value); }
HRESULT TwainFormControl::put_CustomText10(BSTR Value) { return putCustomText(10, Value); }

HRESULT TwainFormControl::get_Version(BSTR* Value) {
  return guardedGetString(Value, [] { return std::wstring(kVersion); });
}

// --- scan settings ----------------------------------------------------------------------

HRESULT TwainFormControl::get_MultiImage(VARIANT_BOOL* Value) {
  return guardedGet(Value, [&] { return toVariantBool(form_->checked("chkMultiImage")); });
}
HRESULT TwainFormControl::put_MultiImage(VARIANT_BOOL Value) {
  return guarded([&] { form_->setChecked("chkMultiImage", fromVariantBool(Value)); });
}
HRESULT TwainFormControl::get_UseInterface(VARIANT_BOOL* Value) {
  return guardedGet(Value, [&] { return toVariantBool(form_->checked("chkInterface")); });
}
HRESULT TwainFormControl::put_UseInterface(VARIANT_BOOL Value) {
  return guarded([&] { form_->setChecked("chkInterface", fromVariantBool(Value)); });
}
HRESULT TwainFormControl::get_CloseInterface(VARIANT_BOOL* Value) {
  return guardedGet(Value, [&] { return toVariantBool(form_->checked("chkCloseInterface")); });
}
HRESULT TwainFormControl::put_CloseInterface(VARIANT_BOOL Value) {
  return guarded([&] { form_->setChecked("chkCloseInterface", fromVariantBool(Value)); });
}
HRESULT TwainFormControl::get_PageSizeMode(LONG* Value) {
  return guardedGet(Value, [&] { return static_cast<LONG>(form_->state().pageSizeMode); });
}
HRESULT TwainFormControl::put_PageSizeMode(LONG Value) {
  return guarded([&] { form_->setPageSizeMode(Value); });
}
HRESULT TwainFormControl::get_PageMemoryLimit(LONG* Value) {
  return guardedGet(Value, [&] { return static_cast<LONG>(form_->pageImages().MemoryBudget() >> 20); });
}
HRESULT TwainFormControl::put_PageMemoryLimit(LONG Value) {
  // Up to a quarter of a 32-bit process's address space; 0 sends every
  // page to the temporary file.
  return guarded([&] {
    if (Value >= 0 && Value <= 1024) form_->pageImages().SetMemoryBudget(static_cast<std::size_t>(Value) << 20);
  });
}

HRESULT TwainFormControl::get_PixelType(LONG* Value) {
  return guardedGet(Value, [&] { return static_cast<LONG>(form_->scanPanel().pixelType()); });
}
HRESULT TwainFormControl::put_PixelType(LONG Value) {
  return guarded([&] { form_->scanPanel().setPixelType(Value); });
}
HRESULT TwainFormControl::get_ResolutionUnits(LONG* Value) {
  return guardedGet(Value, [&] { return static_cast<LONG>(form_->scanPanel().resolutionUnits()); });
}
HRESULT TwainFormControl::put_ResolutionUnits(LONG Value) {
  return guarded([&] { form_->scanPanel().setResolutionUnits(Value); });
}
HRESULT TwainFormControl::get_DeviceCount(LONG* Value) {
  return guardedGet(Value, [&] { return static_cast<LONG>(form_->scanPanel().deviceCount()); });
}
HRESULT TwainFormControl::get_DeviceName(BSTR* Value) {
  return guardedGetString(Value, [&] { return form_->scanPanel().deviceName(); });
}
HRESULT TwainFormControl::put_DeviceName(BSTR Value) {
  return guarded([&] { form_->scanPanel().setDeviceName(std::wstring(Bstr::viewOf(Value))); });
}
HRESULT TwainFormControl::get_DeviceIndex(LONG* Value) {
  return guardedGet(Value, [&] { return static_cast<LONG>(form_->scanPanel().deviceIndex()); });
}
HRESULT TwainFormControl::put_DeviceIndex(LONG Value) {
  return guarded([&] { form_->scanPanel().setDeviceIndex(Value); });
}
HRESULT TwainFormControl::get_Resolution(DOUBLE* Value) {
  return guardedGet(Value, [&] { return form_->scanPanel().resolution(); });
}
HRESULT TwainFormControl::put_Resolution(DOUBLE Value) {
  return guarded([&] { form_->scanPanel().setResolution(Value); });
}
HRESULT TwainFormControl::get_PageSize(LONG* Value) {
  return guardedGet(Value, [&] { return static_cast<LONG>(form_->scanPanel().pageSize()); });
}
HRESULT TwainFormControl::put_PageSize(LONG Value) {
  return guarded([&] { form_->scanPanel().setPageSize(Value); });
}
HRESULT TwainFormControl::get_PageSizeUnits(LONG* Value) {
  return guardedGet(Value, [&] { return static_cast<LONG>(form_->scanPanel().pageSizeUnits()); });
}
HRESULT TwainFormControl::put_PageSizeUnits(LONG Value) {
  return guarded([&] { form_->scanPanel().setPageSizeUnits(Value); });
}
HRESULT TwainFormControl::get_PageWidth(DOUBLE* Value) {
  return guardedGet(Value, [&] { return form_->scanPanel().pageWidth(); });
}
HRESULT TwainFormControl::put_PageWidth(DOUBLE Value) {
  return guarded([&] { form_->scanPanel().setPageWidth(Value); });
}
HRESULT TwainFormControl::get_PageHeight(DOUBLE* Value) {
  return guardedGet(Value, [&] { return form_->scanPanel().pageHeight(); });
}
HRESULT TwainFormControl::put_PageHeight(DOUBLE Value) {
  return guarded([&] { form_->scanPanel().setPageHeight(Value); });
}
HRESULT TwainFormControl::get_MICREnabled(VARIANT_BOOL* Value) {
  return guardedGet(Value, [&] { return toVariantBool(form_->scanPanel().micrEnabled()); });
}
HRESULT TwainFormControl::put_MICREnabled(VARIANT_BOOL Value) {
  return guarded([&] { form_->scanPanel().setMicrEnabled(fromVariantBool(Value)); });
}
// The MICR text of the current page; empty without pages.
HRESULT TwainFormControl::get_MICRString(BSTR* Value) {
  return guardedGetString(Value, [&] { return form_->currentPageMICR(); });
}
HRESULT TwainFormControl::get_UseDuplex(VARIANT_BOOL* Value) {
  return guardedGet(Value, [&] { return toVariantBool(form_->scanPanel().useDuplex()); });
}
HRESULT TwainFormControl::put_UseDuplex(VARIANT_BOOL Value) {
  return guarded([&] { form_->scanPanel().setUseDuplex(fromVariantBool(Value)); });
}

// Blank pages and automatic colour: the form's filter of acquired pages.
HRESULT TwainFormControl::get_DiscardBlankPages(VARIANT_BOOL* Value) {
  return guardedGet(Value, [&] { return toVariantBool(form_->pageFilter().DiscardBlankPages()); });
}
HRESULT TwainFormControl::put_DiscardBlankPages(VARIANT_BOOL Value) {
  return guarded([&] { form_->pageFilter().SetDiscardBlankPages(fromVariantBool(Value)); });
}
HRESULT TwainFormControl::get_BlankPagesDiscarded(LONG* Value) {
  return guardedGet(Value, [&] { return static_cast<LONG>(form_->pageFilter().BlankPagesDiscarded()); });
}
HRESULT TwainFormControl::IsBlankPage(LONG Index, VARIANT_BOOL* Value) {
  return guardedGet(Value, [&] {
    if (Index < 1 || static_cast<unsigned long>(Index) > form_->pageCount())
      throw std::out_of_range("IsBlankPage: there is no page " + std::to_string(Index));
    TluBitmap page;
    const TPageStoreError error = form_->pageImage(static_cast<unsigned>(Index), page);
    if (error != TPageStoreError::None) throw std::runtime_error("IsBlankPage: " + PageStoreErrorText(error));
    return toVariantBool(TAcquiredPageFilter::IsBlank(page));
  });
}
HRESULT TwainFormControl::get_AutoColor(LONG* Value) {
  return guardedGet(Value, [&] { return static_cast<LONG>(form_->pageFilter().AutoColor()); });
}
HRESULT TwainFormControl::put_AutoColor(LONG Value) {
  // Levels other than 0, 1 and 2 are ignored, as other out-of-range values.
  return guarded([&] {
    if (Value >= 0 && Value <= 2) form_->pageFilter().SetAutoColor(static_cast<int>(Value));
  });
}

}  // namespace pagewell
