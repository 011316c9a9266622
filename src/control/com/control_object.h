#pragma once
// TwainFormControl: the COM object that a page creates as
// "Pagewell.TwainForm". It presents the form through ITwainForm (dual,
// dispatched through the type library), raises ITwainFormEvents through its
// connection point, and speaks the OLE embedding interfaces a page host
// needs to place it in-place. The site lock (site_lock.h) decides from the
// container's site whether the page may use it at all.
#include <ocidl.h>
#include <objsafe.h>
#include <oleidl.h>

#include <memory>

#include "com/com_ptr.h"
#include "com/event_connection_point.h"
#include "com/pagewell_h.h"
#include "form_events.h"
#include "site_lock.h"

namespace pagewell {

class TTwainForm;

HRESULT createControlObject(REFIID iid, void** out);

class TwainFormControl final : public ITwainForm,
                               public IProvideClassInfo2,
                               public ISupportErrorInfo,
                               public IConnectionPointContainer,
                               public IOleObject,
                               public IOleInPlaceObject,
                               public IOleInPlaceActiveObject,
                               public IOleControl,
                               public IViewObject2,
                               public IPersistStreamInit,
                               public IPersistPropertyBag,
                               public IObjectSafety,
                               public IObjectWithSite,
                               private FormEventSink {
 public:
  TwainFormControl();
  ~TwainFormControl();
  TwainFormControl(const TwainFormControl&) = delete;
  TwainFormControl& operator=(const TwainFormControl&) = delete;

  // IUnknown
  HRESULT STDMETHODCALLTYPE QueryInterface(REFIID iid, void** out) override;
  ULONG STDMETHODCALLTYPE AddRef() override;
  ULONG STDMETHODCALLTYPE Release() override;

  // IDispatch
  HRESULT STDMETHODCALLTYPE GetTypeInfoCount(UINT* count) override;
  HRESULT STDMETHODCALLTYPE GetTypeInfo(UINT index, LCID locale, ITypeInfo** out) override;
  HRESULT STDMETHODCALLTYPE GetIDsOfNames(REFIID iid, LPOLESTR* names, UINT count, LCID locale,
                                          DISPID* ids) override;
  HRESULT STDMETHODCALLTYPE Invoke(DISPID id, REFIID iid, LCID locale, WORD flags, DISPPARAMS* params,
                                   VARIANT* result, EXCEPINFO* exception, UINT* argError) override;

  // ITwainForm
  HRESULT STDMETHODCALLTYPE get_Visible(VARIANT_BOOL *Value) override;
  HRESULT STDMETHODCALLTYPE put_Visible(VARIANT_BOOL Value) override;
  HRESULT STDMETHODCALLTYPE get_AutoScroll(VARIANT_BOOL *Value) override;
  HRESULT STDMETHODCALLTYPE put_AutoScroll(VARIANT_BOOL Value) override;
  HRESULT STDMETHODCALLTYPE get_AutoSize(VARIANT_BOOL *Value) override;
  HRESULT STDMETHODCALLTYPE put_AutoSize(VARIANT_BOOL Value) override;
  HRESULT STDMETHODCALLTYPE get_AxBorderStyle(TxActiveFormBorderStyle *Value) override;
  HRESULT STDMETHODCALLTYPE put_AxBorderStyle(TxActiveFormBorderStyle Value) override;
  HRESULT STDMETHODCALLTYPE get_Caption(BSTR *Value) override;
  HRESULT STDMETHODCALLTYPE put_Caption(BSTR Value) override;
  HRESULT STDMETHODCALLTYPE get_Color(OLE_COLOR *Value) override;
  HRESULT STDMETHODCALLTYPE put_Color(OLE_COLOR Value) override;
  HRESULT STDMETHODCALLTYPE get_Font(IFontDisp **Value) override;
  HRESULT STDMETHODCALLTYPE put_Font(IFontDisp *Value) override;
  HRESULT STDMETHODCALLTYPE putref_Font(IFontDisp *Value) override;
  HRESULT STDMETHODCALLTYPE get_KeyPreview(VARIANT_BOOL *Value) override;
  HRESULT STDMETHODCALLTYPE put_KeyPreview(VARIANT_BOOL Value) override;
  HRESULT STDMETHODCALLTYPE get_PixelsPerInch(LONG *Value) override;
  HRESULT STDMETHODCALLTYPE put_PixelsPerInch(LONG Value) override;
  HRESULT STDMETHODCALLTYPE get_PrintScale(TxPrintScale *Value) override;
  HRESULT STDMETHODCALLTYPE put_PrintScale(TxPrintScale Value) override;
  HRESULT STDMETHODCALLTYPE get_Scaled(VARIANT_BOOL *Value) override;
  HRESULT STDMETHODCALLTYPE put_Scaled(VARIANT_BOOL Value) override;
  HRESULT STDMETHODCALLTYPE get_Active(VARIANT_BOOL *Value) override;
  HRESULT STDMETHODCALLTYPE get_DropTarget(VARIANT_BOOL *Value) override;
  HRESULT STDMETHODCALLTYPE put_DropTarget(VARIANT_BOOL Value) override;
  HRESULT STDMETHODCALLTYPE get_HelpFile(BSTR *Value) override;
  HRESULT STDMETHODCALLTYPE put_HelpFile(BSTR Value) override;
  HRESULT STDMETHODCALLTYPE get_ScreenSnap(VARIANT_BOOL *Value) override;
  HRESULT STDMETHODCALLTYPE put_ScreenSnap(VARIANT_BOOL Value) override;
  HRESULT STDMETHODCALLTYPE get_SnapBuffer(LONG *Value) override;
  HRESULT STDMETHODCALLTYPE put_SnapBuffer(LONG Value) override;
  HRESULT STDMETHODCALLTYPE get_DoubleBuffered(VARIANT_BOOL *Value) override;
  HRESULT STDMETHODCALLTYPE put_DoubleBuffered(VARIANT_BOOL Value) override;
  HRESULT STDMETHODCALLTYPE get_AlignDisabled(VARIANT_BOOL *Value) override;
  HRESULT STDMETHODCALLTYPE get_VisibleDockClientCount(LONG *Value) override;
  HRESULT STDMETHODCALLTYPE get_Enabled(VARIANT_BOOL *Value) override;
  HRESULT STDMETHODCALLTYPE put_Enabled(VARIANT_BOOL Value) override;
  HRESULT STDMETHODCALLTYPE AboutBox() override;
  HRESULT STDMETHODCALLTYPE SetLeft(BSTR Element, LONG Left, LONG *Result) override;
  HRESULT STDMETHODCALLTYPE SetTop(BSTR Element, LONG Top, LONG *Result) override;
  HRESULT STDMETHODCALLTYPE SetWidth(BSTR Element, LONG Width, LONG *Result) override;
  HRESULT STDMETHODCALLTYPE SetHeight(BSTR Element, LONG Height, LONG *Result) override;
  HRESULT STDMETHODCALLTYPE SetBorder(BSTR Element, LONG Border, LONG *Result) override;
  HRESULT STDMETHODCALLTYPE get_ThumbRows(LONG *Value) override;
  HRESULT STDMETHODCALLTYPE put_ThumbRows(LONG Value) override;
  HRESULT STDMETHODCALLTYPE get_Username(BSTR *Value) override;
  HRESULT STDMETHODCALLTYPE put_Username(BSTR Value) override;
  HRESULT STDMETHODCALLTYPE get_Password(BSTR *Value) override;
  HRESULT STDMETHODCALLTYPE put_Password(BSTR Value) override;
  HRESULT STDMETHODCALLTYPE get_UploadStatus(LONG *Value) override;
  HRESULT STDMETHODCALLTYPE get_AuthenticationType(LONG *Value) override;
  HRESULT STDMETHODCALLTYPE put_AuthenticationType(LONG Value) override;
  HRESULT STDMETHODCALLTYPE get_UploadURL(BSTR *Value) override;
  HRESULT STDMETHODCALLTYPE put_UploadURL(BSTR Value) override;
  HRESULT STDMETHODCALLTYPE SetText(BSTR Element, BSTR Text, LONG Index, LONG *Result) override;
  HRESULT STDMETHODCALLTYPE SetContainer(BSTR Element, BSTR Container, LONG *Result) override;
  HRESULT STDMETHODCALLTYPE get_DebugAlerts(VARIANT_BOOL *Value) override;
  HRESULT STDMETHODCALLTYPE put_DebugAlerts(VARIANT_BOOL Value) override;
  HRESULT STDMETHODCALLTYPE get_ControlPanelTabs(LONG *Value) override;
  HRESULT STDMETHODCALLTYPE put_ControlPanelTabs(LONG Value) override;
  HRESULT STDMETHODCALLTYPE get_FileFormat(BSTR *Value) override;
  HRESULT STDMETHODCALLTYPE put_FileFormat(BSTR Value) override;
  HRESULT STDMETHODCALLTYPE get_FileName(BSTR *Value) override;
  HRESULT STDMETHODCALLTYPE put_FileName(BSTR Value) override;
  HRESULT STDMETHODCALLTYPE SetColor(BSTR Element, OLE_COLOR Color, LONG *Result) override;
  HRESULT STDMETHODCALLTYPE get_MultiImage(VARIANT_BOOL *Value) override;
  HRESULT STDMETHODCALLTYPE put_MultiImage(VARIANT_BOOL Value) override;
  HRESULT STDMETHODCALLTYPE HideElement(BSTR Element, LONG *Result) override;
  HRESULT STDMETHODCALLTYPE ShowElement(BSTR Element, LONG *Result) override;
  HRESULT STDMETHODCALLTYPE get_UploadTimeout(LONG *Value) override;
  HRESULT STDMETHODCALLTYPE put_UploadTimeout(LONG Value) override;
  HRESULT STDMETHODCALLTYPE get_RequiredWidth(LONG *Value) override;
  HRESULT STDMETHODCALLTYPE get_RequiredHeight(LONG *Value) override;
  HRESULT STDMETHODCALLTYPE get_UploadReturnString(BSTR *Value) override;
  HRESULT STDMETHODCALLTYPE SetThumbnails(LONG Width, LONG Height, LONG Rows) override;
  HRESULT STDMETHODCALLTYPE AddFormVar(BSTR Name, BSTR Value, LONG *RetValue) override;
  HRESULT STDMETHODCALLTYPE get_FormTagName(BSTR *Value) override;
  HRESULT STDMETHODCALLTYPE put_FormTagName(BSTR Value) override;
  HRESULT STDMETHODCALLTYPE get_Version(BSTR *Value) override;
  HRESULT STDMETHODCALLTYPE get_UseInterface(VARIANT_BOOL *Value) override;
  HRESULT STDMETHODCALLTYPE put_UseInterface(VARIANT_BOOL Value) override;
  HRESULT STDMETHODCALLTYPE get_CloseInterface(VARIANT_BOOL *Value) override;
  HRESULT STDMETHODCALLTYPE put_CloseInterface(VARIANT_BOOL Value) override;
  HRESULT STDMETHODCALLTYPE AbortUpload() override;
  HRESULT STDMETHODCALLTYPE get_FileNameExtension(BSTR *Value) override;
  HRESULT STDMETHODCALLTYPE get_PagesSelected(LONG *Value) override;
  HRESULT STDMETHODCALLTYPE put_PagesSelected(LONG Value) override;
  HRESULT STDMETHODCALLTYPE get_PixelType(LONG *Value) override;
  HRESULT STDMETHODCALLTYPE put_PixelType(LONG Value) override;
  HRESULT STDMETHODCALLTYPE get_ResolutionUnits(LONG *Value) override;
  HRESULT STDMETHODCALLTYPE put_ResolutionUnits(LONG Value) override;
  HRESULT STDMETHODCALLTYPE get_DeviceCount(LONG *Value) override;
  HRESULT STDMETHODCALLTYPE get_DeviceName(BSTR *Value) override;
  HRESULT STDMETHODCALLTYPE put_DeviceName(BSTR Value) override;
  HRESULT STDMETHODCALLTYPE get_DeviceIndex(LONG *Value) override;
  HRESULT STDMETHODCALLTYPE put_DeviceIndex(LONG Value) override;
  HRESULT STDMETHODCALLTYPE get_Resolution(double *Value) override;
  HRESULT STDMETHODCALLTYPE put_Resolution(double Value) override;
  HRESULT STDMETHODCALLTYPE get_PageSize(LONG *Value) override;
  HRESULT STDMETHODCALLTYPE put_PageSize(LONG Value) override;
  HRESULT STDMETHODCALLTYPE get_PageSizeUnits(LONG *Value) override;
  HRESULT STDMETHODCALLTYPE put_PageSizeUnits(LONG Value) override;
  HRESULT STDMETHODCALLTYPE get_PageWidth(double *Value) override;
  HRESULT STDMETHODCALLTYPE put_PageWidth(double Value) override;
  HRESULT STDMETHODCALLTYPE get_PageHeight(double *Value) override;
  HRESULT STDMETHODCALLTYPE put_PageHeight(double Value) override;
  HRESULT STDMETHODCALLTYPE get_AddText(BSTR *Value) override;
  HRESULT STDMETHODCALLTYPE put_AddText(BSTR Value) override;
  HRESULT STDMETHODCALLTYPE get_MICREnabled(VARIANT_BOOL *Value) override;
  HRESULT STDMETHODCALLTYPE put_MICREnabled(VARIANT_BOOL Value) override;
  HRESULT STDMETHODCALLTYPE get_ImageIndex(LONG *Value) override;
  HRESULT STDMETHODCALLTYPE put_ImageIndex(LONG Value) override;
  HRESULT STDMETHODCALLTYPE Upload() override;
  HRESULT STDMETHODCALLTYPE get_MICRString(BSTR *Value) override;
  HRESULT STDMETHODCALLTYPE Clear() override;
  HRESULT STDMETHODCALLTYPE get_CustomText1(BSTR *Value) override;
  HRESULT STDMETHODCALLTYPE put_CustomText1(BSTR Value) override;
  HRESULT STDMETHODCALLTYPE get_CustomText2(BSTR *Value) override;
  HRESULT STDMETHODCALLTYPE put_CustomText2(BSTR Value) override;
  HRESULT STDMETHODCALLTYPE get_CustomText3(BSTR *Value) override;
  HRESULT STDMETHODCALLTYPE put_CustomText3(BSTR Value) override;
  HRESULT STDMETHODCALLTYPE get_CustomText4(BSTR *Value) override;
  HRESULT STDMETHODCALLTYPE put_CustomText4(BSTR Value) override;
  HRESULT STDMETHODCALLTYPE get_CustomText5(BSTR *Value) override;
  HRESULT STDMETHODCALLTYPE put_CustomText5(BSTR Value) override;
  HRESULT STDMETHODCALLTYPE get_CustomText6(BSTR *Value) override;
  HRESULT STDMETHODCALLTYPE put_CustomText6(BSTR Value) override;
  HRESULT STDMETHODCALLTYPE get_CustomText7(BSTR *Value) override;
  HRESULT STDMETHODCALLTYPE put_CustomText7(BSTR Value) override;
  HRESULT STDMETHODCALLTYPE get_CustomText8(BSTR *Value) override;
  HRESULT STDMETHODCALLTYPE put_CustomText8(BSTR Value) override;
  HRESULT STDMETHODCALLTYPE get_CustomText9(BSTR *Value) override;
  HRESULT STDMETHODCALLTYPE put_CustomText9(BSTR Value) override;
  HRESULT STDMETHODCALLTYPE get_CustomText10(BSTR *Value) override;
  HRESULT STDMETHODCALLTYPE put_CustomText10(BSTR Value) override;
  HRESULT STDMETHODCALLTYPE get_SaveLocalSuccess(VARIANT_BOOL *Value) override;
  HRESULT STDMETHODCALLTYPE get_SaveLocalError(BSTR *Value) override;
  HRESULT STDMETHODCALLTYPE get_ImageCount(LONG *Value) override;
  HRESULT STDMETHODCALLTYPE get_MaxUploadSize(LONG *Value) override;
  HRESULT STDMETHODCALLTYPE put_MaxUploadSize(LONG Value) override;
  HRESULT STDMETHODCALLTYPE SaveUploadReturnString(BSTR FileName) override;
  HRESULT STDMETHODCALLTYPE get_UseDuplex(VARIANT_BOOL *Value) override;
  HRESULT STDMETHODCALLTYPE put_UseDuplex(VARIANT_BOOL Value) override;
  HRESULT STDMETHODCALLTYPE get_PageSizeMode(LONG *Value) override;
  HRESULT STDMETHODCALLTYPE put_PageSizeMode(LONG Value) override;
  HRESULT STDMETHODCALLTYPE get_PageMemoryLimit(LONG *Value) override;
  HRESULT STDMETHODCALLTYPE put_PageMemoryLimit(LONG Value) override;
  HRESULT STDMETHODCALLTYPE get_DiscardBlankPages(VARIANT_BOOL *Value) override;
  HRESULT STDMETHODCALLTYPE put_DiscardBlankPages(VARIANT_BOOL Value) override;
  HRESULT STDMETHODCALLTYPE get_BlankPagesDiscarded(LONG *Value) override;
  HRESULT STDMETHODCALLTYPE IsBlankPage(LONG Index, VARIANT_BOOL *Value) override;
  HRESULT STDMETHODCALLTYPE get_AutoColor(LONG *Value) override;
  HRESULT STDMETHODCALLTYPE put_AutoColor(LONG Value) override;

  // IProvideClassInfo2
  HRESULT STDMETHODCALLTYPE GetClassInfo(ITypeInfo** out) override;
  HRESULT STDMETHODCALLTYPE GetGUID(DWORD kind, GUID* out) override;

  // ISupportErrorInfo
  HRESULT STDMETHODCALLTYPE InterfaceSupportsErrorInfo(REFIID iid) override;

  // IConnectionPointContainer
  HRESULT STDMETHODCALLTYPE EnumConnectionPoints(IEnumConnectionPoints** out) override;
  HRESULT STDMETHODCALLTYPE FindConnectionPoint(REFIID iid, IConnectionPoint** out) override;

  // IOleObject
  HRESULT STDMETHODCALLTYPE SetClientSite(IOleClientSite* site) override;
  HRESULT STDMETHODCALLTYPE GetClientSite(IOleClientSite** out) override;
  HRESULT STDMETHODCALLTYPE SetHostNames(LPCOLESTR app, LPCOLESTR object) override;
  HRESULT STDMETHODCALLTYPE Close(DWORD saveOption) override;
  HRESULT STDMETHODCALLTYPE SetMoniker(DWORD which, IMoniker* moniker) override;
  HRESULT STDMETHODCALLTYPE GetMoniker(DWORD assign, DWORD which, IMoniker** out) override;
  HRESULT STDMETHODCALLTYPE InitFromData(IDataObject* data, BOOL creation, DWORD reserved) override;
  HRESULT STDMETHODCALLTYPE GetClipboardData(DWORD reserved, IDataObject** out) override;
  HRESULT STDMETHODCALLTYPE DoVerb(LONG verb, LPMSG message, IOleClientSite* site, LONG index,
                                   HWND parent, LPCRECT bounds) override;
  HRESULT STDMETHODCALLTYPE EnumVerbs(IEnumOLEVERB** out) override;
  HRESULT STDMETHODCALLTYPE Update() override;
  HRESULT STDMETHODCALLTYPE IsUpToDate() override;
  HRESULT STDMETHODCALLTYPE GetUserClassID(CLSID* out) override;
  HRESULT STDMETHODCALLTYPE GetUserType(DWORD form, LPOLESTR* out) override;
  HRESULT STDMETHODCALLTYPE SetExtent(DWORD aspect, SIZEL* size) override;
  HRESULT STDMETHODCALLTYPE GetExtent(DWORD aspect, SIZEL* size) override;
  HRESULT STDMETHODCALLTYPE Advise(IAdviseSink* sink, DWORD* cookie) override;
  HRESULT STDMETHODCALLTYPE Unadvise(DWORD cookie) override;
  HRESULT STDMETHODCALLTYPE EnumAdvise(IEnumSTATDATA** out) override;
  HRESULT STDMETHODCALLTYPE GetMiscStatus(DWORD aspect, DWORD* status) override;
  HRESULT STDMETHODCALLTYPE SetColorScheme(LOGPALETTE* palette) override;

  // IOleWindow, IOleInPlaceObject, IOleInPlaceActiveObject
  HRESULT STDMETHODCALLTYPE GetWindow(HWND* out) override;
  HRESULT STDMETHODCALLTYPE ContextSensitiveHelp(BOOL enter) override;
  HRESULT STDMETHODCALLTYPE InPlaceDeactivate() override;
  HRESULT STDMETHODCALLTYPE UIDeactivate() override;
  HRESULT STDMETHODCALLTYPE SetObjectRects(LPCRECT position, LPCRECT clip) override;
  HRESULT STDMETHODCALLTYPE ReactivateAndUndo() override;
  HRESULT STDMETHODCALLTYPE TranslateAccelerator(LPMSG message) override;
  HRESULT STDMETHODCALLTYPE OnFrameWindowActivate(BOOL activate) override;
  HRESULT STDMETHODCALLTYPE OnDocWindowActivate(BOOL activate) override;
  HRESULT STDMETHODCALLTYPE ResizeBorder(LPCRECT border, IOleInPlaceUIWindow* window,
                                         BOOL frame) override;
  HRESULT STDMETHODCALLTYPE EnableModeless(BOOL enable) override;

  // IOleControl
  HRESULT STDMETHODCALLTYPE GetControlInfo(CONTROLINFO* info) override;
  HRESULT STDMETHODCALLTYPE OnMnemonic(MSG* message) override;
  HRESULT STDMETHODCALLTYPE OnAmbientPropertyChange(DISPID id) override;
  HRESULT STDMETHODCALLTYPE FreezeEvents(BOOL freeze) override;

  // IViewObject2
  HRESULT STDMETHODCALLTYPE Draw(DWORD aspect, LONG index, void* aspectInfo, DVTARGETDEVICE* device,
                                 HDC targetDc, HDC dc, LPCRECTL bounds, LPCRECTL windowBounds,
                                 BOOL(STDMETHODCALLTYPE* cont)(ULONG_PTR), ULONG_PTR argument) override;
  HRESULT STDMETHODCALLTYPE GetColorSet(DWORD aspect, LONG index, void* aspectInfo,
                                        DVTARGETDEVICE* device, HDC targetDc,
                                        LOGPALETTE** out) override;
  HRESULT STDMETHODCALLTYPE Freeze(DWORD aspect, LONG index, void* aspectInfo, DWORD* cookie) override;
  HRESULT STDMETHODCALLTYPE Unfreeze(DWORD cookie) override;
  HRESULT STDMETHODCALLTYPE SetAdvise(DWORD aspects, DWORD flags, IAdviseSink* sink) override;
  HRESULT STDMETHODCALLTYPE GetAdvise(DWORD* aspects, DWORD* flags, IAdviseSink** sink) override;
  HRESULT STDMETHODCALLTYPE GetExtent(DWORD aspect, LONG index, DVTARGETDEVICE* device,
                                      LPSIZEL size) override;

  // IPersist, IPersistStreamInit, IPersistPropertyBag
  HRESULT STDMETHODCALLTYPE GetClassID(CLSID* out) override;
  HRESULT STDMETHODCALLTYPE IsDirty() override;
  HRESULT STDMETHODCALLTYPE Load(LPSTREAM stream) override;
  HRESULT STDMETHODCALLTYPE Save(LPSTREAM stream, BOOL clearDirty) override;
  HRESULT STDMETHODCALLTYPE GetSizeMax(ULARGE_INTEGER* size) override;
  HRESULT STDMETHODCALLTYPE InitNew() override;
  HRESULT STDMETHODCALLTYPE Load(IPropertyBag* bag, IErrorLog* log) override;
  HRESULT STDMETHODCALLTYPE Save(IPropertyBag* bag, BOOL clearDirty, BOOL saveAll) override;

  // IObjectSafety
  HRESULT STDMETHODCALLTYPE GetInterfaceSafetyOptions(REFIID iid, DWORD* supported,
                                                      DWORD* enabled) override;
  HRESULT STDMETHODCALLTYPE SetInterfaceSafetyOptions(REFIID iid, DWORD mask, DWORD enabled) override;

  // IObjectWithSite (object_with_site.cpp)
  HRESULT STDMETHODCALLTYPE SetSite(IUnknown* site) override;
  HRESULT STDMETHODCALLTYPE GetSite(REFIID iid, void** out) override;

 private:
  // FormEventSink
  void raise(FormEvent event) override;
  short raiseKeyPress(short key) override;

  // Raises an event unless the container froze events or nobody listens.
  void raiseEvent(FormEvent event, DISPPARAMS& params);
  HRESULT getCustomText(int number, BSTR* value);
  HRESULT putCustomText(int number, BSTR value);
  // The extent both IOleObject and IViewObject2 report.
  HRESULT contentExtent(DWORD aspect, SIZEL* size) const;
  HRESULT activateInPlace(IOleClientSite* site, HWND parent, LPCRECT bounds, bool uiActivate);
  void deactivateInPlace();
  void deactivateUi();
  void loadProperty(IPropertyBag* bag, IErrorLog* log, ITypeInfo* info, const FUNCDESC& function);
  // Lets the site lock judge the page behind a site the container gave:
  // an allowed page gets its devices, a refused one the refusal line, and a
  // page the user is to be asked about waits for its first call.
  void applySiteLock(IUnknown* site);
  // Whether a caller may use the control now, putting the question to the
  // user first where it is due; the form follows the answer.
  bool admitCaller();
  // The form as the site lock's verdict wants it.
  void showVerdict();
  // What a scripted call gets while the site lock refuses the page.
  HRESULT refuseLockedCall(EXCEPINFO* exception) const;

  long references_ = 1;
  SiteLock siteLock_;
  bool policyProblemsShown_ = false;
  ComPtr<IUnknown> site_;
  ComPtr<ITypeInfo> typeInfo_;
  EventConnectionPoint events_;
  std::unique_ptr<TTwainForm> form_;
  ComPtr<IOleClientSite> clientSite_;
  ComPtr<IOleInPlaceSite> inPlaceSite_;
  ComPtr<IOleInPlaceFrame> frame_;
  ComPtr<IOleAdviseHolder> oleAdvise_;
  // What IViewObject2::SetAdvise registered.
  struct ViewAdvise {
    ComPtr<IAdviseSink> sink;
    DWORD aspects = 0;
    DWORD flags = 0;
  } viewAdvise_;
  bool inPlaceActive_ = false;
  bool uiActive_ = false;
  long freezeCount_ = 0;
  SIZEL extent_{};
  DWORD safetyOptions_ = 0;
};

}  // namespace pagewell
