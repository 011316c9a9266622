// The ITwainForm members that forward to the form's own properties.
#include "com/control_object.h"
#include "com/member_helpers.h"
#include "twain_form.h"

namespace pagewell {

HRESULT TwainFormControl::get_Visible(VARIANT_BOOL* Value) {
  return guardedGet(Value, [&] {
    return toVariantBool((GetWindowLongPtrW(form_->window(), GWL_STYLE) & WS_VISIBLE) != 0);
  });
}
HRESULT TwainFormControl::put_Visible(VARIANT_BOOL Value) {
  return guarded([&] { ShowWindow(form_->window(), fromVariantBool(Value) ? SW_SHOWNA : SW_HIDE); });
}
HRESULT TwainFormControl::get_AutoScroll(VARIANT_BOOL* Value) {
  return guardedGet(Value, [&] { return toVariantBool(form_->framework().autoScroll); });
}
HRESULT TwainFormControl::put_AutoScroll(VARIANT_BOOL Value) {
  return guarded([&] { form_->framework().autoScroll = fromVariantBool(Value); });
}
HRESULT TwainFormControl::get_AutoSize(VARIANT_BOOL* Value) {
  return guardedGet(Value, [&] { return toVariantBool(form_->framework().autoSize); });
}
HRESULT TwainFormControl::put_AutoSize(VARIANT_BOOL Value) {
  return guarded([&] { form_->framework().autoSize = fromVariantBool(Value); });
}
HRESULT TwainFormControl::get_AxBorderStyle(TxActiveFormBorderStyle* Value) {
  return guardedGet(Value, [&] { return static_cast<TxActiveFormBorderStyle>(form_->framework().borderStyle); });
}
HRESULT TwainFormControl::put_AxBorderStyle(TxActiveFormBorderStyle Value) {
  return guarded([&] {
    if (Value >= afbNone && Value <= afbRaised) form_->applyBorderStyle(static_cast<AxBorderStyle>(Value));
  });
}
HRESULT TwainFormControl::get_Caption(BSTR* Value) {
  return guardedGetString(Value, [&] {
    HWND form = form_->window();
    std::wstring caption(static_cast<size_t>(GetWindowTextLengthW(form)) + 1, L'\0');
    caption.resize(static_cast<size_t>(GetWindowTextW(form, caption.data(), static_cast<int>(caption.size()))));
    return caption;
  });
}
HRESULT TwainFormControl::put_Caption(BSTR Value) {
  return guarded([&] { SetWindowTextW(form_->window(), std::wstring(Bstr::viewOf(Value)).c_str()); });
}
HRESULT TwainFormControl::get_Color(OLE_COLOR* Value) {
  return guardedGet(Value, [&] { return static_cast<OLE_COLOR>(form_->framework().color); });
}
HRESULT TwainFormControl::put_Color(OLE_COLOR Value) {
  return guarded([&] { form_->applyColor(Value); });
}
HRESULT TwainFormControl::get_Font(IFontDisp** Value) {
  if (!Value) return E_POINTER;
  *Value = nullptr;
  return form_->font()->QueryInterface(IID_IFontDisp, reinterpret_cast<void**>(Value));
}
HRESULT TwainFormControl::put_Font(IFontDisp* Value) {
  return guarded([&] {
    if (!Value) throw ComError(E_INVALIDARG, "Font needs a font object");
    ComPtr<IFont> font;
    HRESULT hr = Value->QueryInterface(IID_IFont, font.put_void());
    if (FAILED(hr)) throw ComError(E_INVALIDARG, "Font needs a font object");
    form_->applyFont(font.get());
  });
}
HRESULT TwainFormControl::putref_Font(IFontDisp* Value) { return put_Font(Value); }
HRESULT TwainFormControl::get_KeyPreview(VARIANT_BOOL* Value) {
  return guardedGet(Value, [&] { return toVariantBool(form_->framework().keyPreview); });
}
HRESULT TwainFormControl::put_KeyPreview(VARIANT_BOOL Value) {
  return guarded([&] { form_->framework().keyPreview = fromVariantBool(Value); });
}
HRESULT TwainFormControl::get_PixelsPerInch(LONG* Value) {
  return guardedGet(Value, [&] { return form_->framework().pixelsPerInch; });
}
HRESULT TwainFormControl::put_PixelsPerInch(LONG Value) {
  return guarded([&] {
    if (Value > 0) form_->framework().pixelsPerInch = Value;
  });
}
HRESULT TwainFormControl::get_PrintScale(TxPrintScale* Value) {
  return guardedGet(Value, [&] { return static_cast<TxPrintScale>(form_->framework().printScale); });
}
HRESULT TwainFormControl::put_PrintScale(TxPrintScale Value) {
  return guarded([&] {
    if (Value >= poNone && Value <= poPrintToFit) form_->framework().printScale = Value;
  });
}
HRESULT TwainFormControl::get_Scaled(VARIANT_BOOL* Value) {
  return guardedGet(Value, [&] { return toVariantBool(form_->framework().scaled); });
}
HRESULT TwainFormControl::put_Scaled(VARIANT_BOOL Value) {
  return guarded([&] { form_->framework().scaled = fromVariantBool(Value); });
}
HRESULT TwainFormControl::get_Active(VARIANT_BOOL* Value) {
  return guardedGet(Value, [&] { return toVariantBool(form_->active()); });
}
HRESULT TwainFormControl::get_DropTarget(VARIANT_BOOL* Value) {
  return guardedGet(Value, [&] { return toVariantBool(form_->framework().dropTarget); });
}
HRESULT TwainFormControl::put_DropTarget(VARIANT_BOOL Value) {
  return guarded([&] { form_->framework().dropTarget = fromVariantBool(Value); });
}
HRESULT TwainFormControl::get_HelpFile(BSTR* Value) {
  return guardedGetString(Value, [&] { return form_->framework().helpFile; });
}
HRESULT TwainFormControl::put_HelpFile(BSTR Value) {
  return guarded([&] { form_->framework().helpFile = Bstr::viewOf(Value); });
}
HRESULT TwainFormControl::get_ScreenSnap(VARIANT_BOOL* Value) {
  return guardedGet(Value, [&] { return toVariantBool(form_->framework().screenSnap); });
}
HRESULT TwainFormControl::put_ScreenSnap(VARIANT_BOOL Value) {
  return guarded([&] { form_->framework().screenSnap = fromVariantBool(Value); });
}
HRESULT TwainFormControl::get_SnapBuffer(LONG* Value) {
  return guardedGet(Value, [&] { return form_->framework().snapBuffer; });
}
HRESULT TwainFormControl::put_SnapBuffer(LONG Value) {
  return guarded([&] { form_->framework().snapBuffer = Value; });
}
HRESULT TwainFormControl::get_DoubleBuffered(VARIANT_BOOL* Value) {
  return guardedGet(Value, [&] { return toVariantBool(form_->framework().doubleBuffered); });
}
HRESULT TwainFormControl::put_DoubleBuffered(VARIANT_BOOL Value) {
  return guarded([&] { form_->framework().doubleBuffered = fromVariantBool(Value); });
}
HRESULT TwainFormControl::get_AlignDisabled(VARIANT_BOOL* Value) {
  return guardedGet(Value, [] { return VARIANT_FALSE; });
}
HRESULT TwainFormControl::get_VisibleDockClientCount(LONG* Value) {
  return guardedGet(Value, [] { return 0L; });
}
HRESULT TwainFormControl::get_Enabled(VARIANT_BOOL* Value) {
  return guardedGet(Value, [&] { return toVariantBool(IsWindowEnabled(form_->window()) != FALSE); });
}
HRESULT TwainFormControl::put_Enabled(VARIANT_BOOL Value) {
  return guarded([&] { EnableWindow(form_->window(), fromVariantBool(Value)); });
}
HRESULT TwainFormControl::AboutBox() {
  return guarded([&] { form_->showAboutBox(); });
}

}  // namespace pagewell
