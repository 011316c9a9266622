#include "twain_form.h"

#include <commctrl.h>
#include <olectl.h>

#include <algorithm>

#include "about_box.h"
#include "com/com_error.h"
#include "com/module.h"
#include "component_factory.h"
#include "component_table.h"
#include "form_window_classes.h"
#include "page_sizes.h"
#include "page_images.h"
#include "page_viewer_list.h"
#include "scan_panel.h"
#include "viewer/pw_image.h"

namespace pagewell {
namespace {

constexpr int kFirstComponentId = 100;

// Key preview: while KeyPreview is on, the form sees every character typed
// into one of its components before the component does. Each component's
// own window procedure is kept in a window property and called after.
const wchar_t kOriginalProc[] = L"PagewellOriginalProc";
const wchar_t kOwningForm[] = L"PagewellForm";

LRESULT CALLBACK keyPreviewProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  auto original = reinterpret_cast<WNDPROC>(GetPropW(window, kOriginalProc));
  auto* form = reinterpret_cast<TTwainForm*>(GetPropW(window, kOwningForm));
  if (message == WM_CHAR && form && !form->previewKey(wParam)) return 0;
  if (message == WM_CHAR && wParam == VK_RETURN && form && form->handleEnter(window)) return 0;
  if (message == WM_NCDESTROY) {
    SetWindowLongPtrW(window, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(original));
    RemovePropW(window, kOriginalProc);
    RemovePropW(window, kOwningForm);
  }
  return CallWindowProcW(original, window, message, wParam, lParam);
}

void previewKeysOf(HWND window, TTwainForm* form) {
  SetPropW(window, kOwningForm, form);
  SetPropW(window, kOriginalProc, reinterpret_cast<HANDLE>(GetWindowLongPtrW(window, GWLP_WNDPROC)));
  SetWindowLongPtrW(window, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(keyPreviewProc));
}

ComPtr<IFont> designFont() {
  FONTDESC description{};
  description.cbSizeofstruct = sizeof description;
  description.lpstrName = const_cast<LPOLESTR>(L"MS Sans Serif");
  // 8.25 points: height -11 at 96 pixels per inch.
  description.cySize.int64 = 82500;
  description.sWeight = FW_NORMAL;
  description.sCharset = DEFAULT_CHARSET;
  ComPtr<IFont> font;
  HRESULT hr = OleCreateFontIndirect(&description, IID_IFont, font.put_void());
  if (FAILED(hr)) throw ComError(hr, "The form's font could not be created");
  return font;
}

}  // namespace

TTwainForm::TTwainForm(FormEventSink& events) : events_(events) {
  registerFormWindowClasses();
  createWindows();
  runCreationSequence();
  events_.raise(FormEvent::Create);
}

// The destruction sequence: the page list (with every page viewer and its
// bitmap), FormVars and the slot labels go first, then the windows.
TTwainForm::~TTwainForm() {
  events_.raise(FormEvent::Destroy);
  freePageList();
  state_.formVars.clear();
  freeSlotLabels();
}

void TTwainForm::createWindows() {
  // The form waits in a hidden window of its own while no host shows it.
  parking_.reset(CreateWindowExW(WS_EX_TOOLWINDOW, kSheetClass, L"", WS_POPUP, 0, 0, kDesignWidth,
                                 kDesignHeight, nullptr, nullptr, moduleInstance(), nullptr));
  if (!parking_) throw ComError(HRESULT_FROM_WIN32(GetLastError()), "The form's parking window could not be created");
  background_.reset(CreateSolidBrush(GetSysColor(COLOR_BTNFACE)));
  window_.reset(CreateWindowExW(WS_EX_CONTROLPARENT, kFormClass, L"TwainForm",
                                WS_CHILD | WS_VISIBLE | WS_CLIPCHILDREN | WS_CLIPSIBLINGS, 0, 0,
                                kDesignWidth, kDesignHeight, parking_.get(), nullptr, moduleInstance(),
                                this));
  if (!window_) throw ComError(HRESULT_FROM_WIN32(GetLastError()), "The form window could not be created");
  createComponents();
  applyFont(designFont().get());
}

void TTwainForm::createComponents() {
  int id = kFirstComponentId;
  for (const ComponentDesign& design : componentTable()) {
    HWND parent = design.parent ? component(design.parent) : window_.get();
    HWND created = design.kind == ComponentKind::Viewer ? createMainViewer(design, parent)
                                                          : createComponentWindow(design, parent, window_.get(), id++);
    if (!created) throw ComError(E_FAIL, std::string("The component ") + design.name + " could not be created");
    components_.emplace(design.name, created);
    namesByWindow_.emplace(created, design.name);
    // The viewer handles its own keys.
    if (design.kind != ComponentKind::Viewer) previewKeysOf(created, this);
  }
  // A shape is only ever a backdrop (the viewer lies above its frame), but
  // child windows are created below their earlier siblings.
  for (const ComponentDesign& design : componentTable())
    if (design.kind == ComponentKind::Shape)
      SetWindowPos(component(design.name), HWND_BOTTOM, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
  setControlPanelTabs(state_.controlPanelTabs);
  scanPanel_ = std::make_unique<TScanPanel>(*this, *mainViewer_);
}

// PWImageMain lies on shpMain's frame. Each image it scans is handed on at
// once, and it keeps the MICR text of each transfer for that image.
HWND TTwainForm::createMainViewer(const ComponentDesign& design, HWND parent) {
  mainViewer_ = std::make_unique<TPWImage>(parent, design.left, design.top, design.width, design.height);
  TPWImage& viewer = *mainViewer_;
  viewer.SetZoom(100);
  viewer.SetTwainAppName("Brindlet");
  viewer.SetScaleToGray(true);
  viewer.OnAcquire = [this](TluTwain&) { addAcquiredPage(); };
  return viewer.Handle();
}

HWND TTwainForm::component(std::string_view name) const {
  auto found = components_.find(name);
  return found == components_.end() ? nullptr : found->second;
}

// The creation sequence, step by step (steps that belong to the element
// layout, the scan panel, the page list and the viewer call into them).
void TTwainForm::runCreationSequence() {
  buildElementTable();
  setControlPanelDefaults();
  state_.layout = LayoutConstants{};
  state_.thumbRows = 3;
  createLists();
  colourShapes();
  stopConnectTimer();
  storeTextTables();
  clearUploadAndOutputState();
  setViewerModes();
  checkDefaultOptions();
  fillUnitLists();
  disableOutputControls();
  layOutAndFit();
}

void TTwainForm::setControlPanelDefaults() {
  setControlPanelTabs(3);
  HWND pages = component("pgcPanel");
  TabCtrl_SetCurSel(pages, 0);
  showSheet(0);
}

void TTwainForm::createLists() {
  createPageList();
  state_.formVars.clear();
  state_.formTagName = L"Pagewell";
  state_.currentPage = 0;
  state_.firstVisiblePage = 0;
  state_.maxListedResolutions = 20;
}

void TTwainForm::colourShapes() {
  setShapeBrush(component("shpCurrent"), RGB(204, 255, 204));
  setShapeBrush(component("shpMain"), RGB(153, 204, 153));
}

void TTwainForm::stopConnectTimer() {
  KillTimer(window_.get(), kConnectTimerId);
  connectTimerRunning_ = false;
}

void TTwainForm::storeTextTables() {
  state_.pixelTypeNames = {L"Black and White", L"Grayscale", L"RGB Color", L"Paletted Color"};
  state_.unitNames = {L"inch", L"cm"};
  state_.pageSizes = standardPageSizes();
  state_.statusTexts = {L"Preparing to upload", L"Page", L"Uploading", L"Upload complete"};
}

void TTwainForm::clearUploadAndOutputState() {
  state_.username.clear();
  state_.password.clear();
  state_.uploadReturnString.clear();
  state_.uploadUrl.clear();
  state_.saveLocalError.clear();
  state_.uploadStatus = 0;
  state_.authenticationType = 0;
  state_.debugAlerts = false;
  state_.fileFormat = L"FileName";
  state_.uploadTimeout = 60;
  state_.saveLocalSuccess = false;
  state_.maxUploadSize = 0;
  state_.pageSizeMode = 1;
  state_.cropInProgress = false;
}

void TTwainForm::checkDefaultOptions() {
  SendMessageW(component("rdbSingle"), BM_SETCHECK, BST_CHECKED, 0);
  setChecked("chkInterface", true);
  setChecked("chkMultiImage", true);
  setChecked("chkCloseInterface", true);
  setChecked("chkDuplex", false);
}

void TTwainForm::fillUnitLists() {
  SendMessageW(component("cboPixelType"), CB_RESETCONTENT, 0, 0);
  refillUnitLists();
}

void TTwainForm::refillUnitLists() {
  for (const char* name : {"cboResUnits", "cboSizeUnits"}) {
    HWND list = component(name);
    SendMessageW(list, CB_RESETCONTENT, 0, 0);
    for (const std::wstring& unit : state_.unitNames)
      SendMessageW(list, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(unit.c_str()));
    SendMessageW(list, CB_SETCURSEL, 0, 0);
  }
}

void TTwainForm::startDevices() {
  if (devicesStarted_) return;
  devicesStarted_ = true;
  listDevices();
  enableDuplexOption();
}

void TTwainForm::listDevices() {
  HWND list = component("cboSelect");
  int devices = deviceCount();
  SendMessageW(list, CB_RESETCONTENT, 0, 0);
  if (devices == 0) {
    SetWindowTextW(list, L"No TWAIN Devices Found");
    enable("cboSelect", false);
    enable("chkInterface", false);
    return;
  }
  selectFirstDevice();
}

void TTwainForm::enableDuplexOption() {
  enable("chkDuplex", deviceCanScanDuplex());
  switchViewerDuplexOff();
}

void TTwainForm::disableOutputControls() {
  show("lblProgress", false);
  show("pbrUpload", false);
  for (const char* name : {"btnCrop", "btnDeskew", "btnDespeckle", "btnRot180", "btnRot90CW",
                           "btnRot90CCW", "btnSave", "btnText", "btnUpload", "btnAbort"})
    enable(name, false);
}

void TTwainForm::layOutAndFit(std::wstring_view method) {
  layOutThumbnailStrip(method);
  fitForm();
  refreshThumbnails();
}

// --- hosting ---------------------------------------------------------------

void TTwainForm::attach(HWND parent, const RECT& bounds) {
  SetParent(window_.get(), parent);
  setBounds(bounds);
}

void TTwainForm::detach() {
  setActive(false);
  SetParent(window_.get(), parking_.get());
}

void TTwainForm::setBounds(const RECT& bounds) {
  SetWindowPos(window_.get(), nullptr, bounds.left, bounds.top, bounds.right - bounds.left,
               bounds.bottom - bounds.top, SWP_NOZORDER | SWP_NOACTIVATE);
}

void TTwainForm::setActive(bool active) {
  if (active == active_) return;
  active_ = active;
  events_.raise(active ? FormEvent::Activate : FormEvent::Deactivate);
}

void TTwainForm::drawTo(HDC dc, const RECT& bounds) {
  RECT client;
  GetClientRect(window_.get(), &client);
  int saved = SaveDC(dc);
  SetMapMode(dc, MM_ANISOTROPIC);
  SetWindowExtEx(dc, client.right, client.bottom, nullptr);
  SetViewportExtEx(dc, bounds.right - bounds.left, bounds.bottom - bounds.top, nullptr);
  SetViewportOrgEx(dc, bounds.left, bounds.top, nullptr);
  SendMessageW(window_.get(), WM_PRINT, reinterpret_cast<WPARAM>(dc),
               PRF_CLIENT | PRF_CHILDREN | PRF_ERASEBKGND | PRF_NONCLIENT);
  RestoreDC(dc, saved);
}

// --- state kept in components -------------------------------------------------

std::wstring TTwainForm::text(std::string_view name) const {
  HWND window = component(name);
  int length = GetWindowTextLengthW(window);
  std::wstring result(static_cast<size_t>(length) + 1, L'\0');
  int copied = GetWindowTextW(window, result.data(), length + 1);
  result.resize(static_cast<size_t>(copied));
  return result;
}

void TTwainForm::setText(std::string_view name, std::wstring_view text) {
  std::wstring terminated(text);
  SetWindowTextW(component(name), terminated.c_str());
}

bool TTwainForm::checked(std::string_view name) const {
  return SendMessageW(component(name), BM_GETCHECK, 0, 0) == BST_CHECKED;
}

void TTwainForm::setChecked(std::string_view name, bool checked) {
  HWND box = component(name);
  SendMessageW(box, BM_SETCHECK, checked ? BST_CHECKED : BST_UNCHECKED, 0);
  onClick(std::string(name));
}

void TTwainForm::enable(std::string_view name, bool enabled) {
  EnableWindow(component(name), enabled);
}

void TTwainForm::show(std::string_view name, bool visible) {
  ShowWindow(component(name), visible ? SW_SHOWNA : SW_HIDE);
}

// --- framework members ----------------------------------------------------------

void TTwainForm::applyColor(DWORD color) {
  COLORREF rgb = 0;
  if (FAILED(OleTranslateColor(color, nullptr, &rgb))) return;  // not a colour: ignored
  framework_.color = color;
  background_.reset(CreateSolidBrush(rgb));
  RedrawWindow(window_.get(), nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_ALLCHILDREN);
}

void TTwainForm::applyBorderStyle(AxBorderStyle style) {
  framework_.borderStyle = style;
  HWND form = window_.get();
  LONG_PTR plain = GetWindowLongPtrW(form, GWL_STYLE) & ~static_cast<LONG_PTR>(WS_BORDER | WS_DLGFRAME);
  LONG_PTR extended = GetWindowLongPtrW(form, GWL_EXSTYLE) &
                      ~static_cast<LONG_PTR>(WS_EX_CLIENTEDGE | WS_EX_DLGMODALFRAME);
  if (style == AxBorderStyle::Single) plain |= WS_BORDER;
  if (style == AxBorderStyle::Sunken) extended |= WS_EX_CLIENTEDGE;
  if (style == AxBorderStyle::Raised) extended |= WS_EX_DLGMODALFRAME;
  SetWindowLongPtrW(form, GWL_STYLE, plain);
  SetWindowLongPtrW(form, GWL_EXSTYLE, extended);
  SetWindowPos(form, nullptr, 0, 0, 0, 0,
               SWP_NOMOVE | SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE | SWP_FRAMECHANGED);
}

// The form keeps its own clone, so the page may go on changing the font
// object it passed without touching the form behind its back. The clone is
// what Font reads from now on, and changes made to it apply at once.
void TTwainForm::applyFont(IFont* font) {
  if (!font) throw ComError(E_POINTER, "No font given");
  ComPtr<IFont> own;
  HRESULT hr = font->Clone(own.put());
  if (FAILED(hr)) throw ComError(hr, "The font could not be copied");
  if (!showFont(own.get())) throw ComError(E_FAIL, "The font could not be realised");
  font_ = own;
  fontNotifications_.listenTo(font_.get());
}

// The page changed a property of the form's font object. A font that
// cannot be realised leaves the form as it was.
void TTwainForm::onFontChanged() {
  if (font_) showFont(font_.get());
}

// The components get a font handle of the form's own: the font object
// frees the handle it realised whenever one of its properties changes.
bool TTwainForm::showFont(IFont* font) {
  HFONT shared = nullptr;
  if (FAILED(font->get_hFont(&shared)) || !shared) return false;
  LOGFONTW description{};
  if (GetObjectW(shared, sizeof description, &description) == 0) return false;
  FontHandle handle(CreateFontIndirectW(&description));
  if (!handle) return false;
  for (const auto& entry : components_)
    SendMessageW(entry.second, WM_SETFONT, reinterpret_cast<WPARAM>(handle.get()), FALSE);
  SendMessageW(window_.get(), WM_SETFONT, reinterpret_cast<WPARAM>(handle.get()), FALSE);
  fontHandle_ = std::move(handle);
  RedrawWindow(window_.get(), nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_ALLCHILDREN);
  return true;
}

void TTwainForm::showAboutBox() {
  HWND owner = GetAncestor(window_.get(), GA_ROOT);
  TTwainFormAbout::show(owner == parking_.get() ? nullptr : owner);
}

// Steps 4 and 5 of ControlPanelTabs: the count and which panel and tabs
// show. Steps 1 to 3 move the elements of tab1 (element layout).
void TTwainForm::setControlPanelTabs(int count) {
  if (count < 1 || count > 5) return;
  moveTab1Elements(count);
  state_.controlPanelTabs = count;
  HWND pages = component("pgcPanel");
  show("grpPanel", count == 1);
  show("pgcPanel", count != 1);
  if (count == 1) return;
  int selected = TabCtrl_GetCurSel(pages);
  TabCtrl_DeleteAllItems(pages);
  static const char* const kSheets[] = {"tab1", "tab2", "tab3", "tab4", "tab5"};
  for (int i = 0; i < count; ++i) {
    std::wstring caption = text(kSheets[i]);
    TCITEMW item{};
    item.mask = TCIF_TEXT;
    item.pszText = caption.data();
    TabCtrl_InsertItem(pages, i, &item);
  }
  placeSheets();
  int keep = (selected >= 0 && selected < count) ? selected : 0;
  TabCtrl_SetCurSel(pages, keep);
  showSheet(keep);
}

// The sheets cover the page control's display area, which depends on its
// size and on the tabs it has.
void TTwainForm::placeSheets() {
  RECT area = sheetArea(component("pgcPanel"));
  for (const char* sheet : {"tab1", "tab2", "tab3", "tab4", "tab5"})
    SetWindowPos(component(sheet), nullptr, area.left, area.top, area.right - area.left,
                 area.bottom - area.top, SWP_NOZORDER | SWP_NOACTIVATE);
}

void TTwainForm::setThumbRows(int rows) {
  if (rows < 1) return;
  state_.thumbRows = rows;
  layOutAndFit(L"ThumbRows");
}

// Only mode 1 takes the scan frame from the page-size controls, so only
// then are they shown.
void TTwainForm::setPageSizeMode(int mode) {
  if (mode < 1 || mode > 3) return;
  state_.pageSizeMode = mode;
  for (const char* name : {"lblPageSize", "cboPageSize", "lblCustomPage", "edtWidth", "lblx",
                           "edtHeight", "cboSizeUnits"})
    show(name, mode == 1);
}

// Programmatic checks do not clear the other radio button of the group.
void TTwainForm::selectPages(bool allPages) {
  SendMessageW(component("rdbAll"), BM_SETCHECK, allPages ? BST_CHECKED : BST_UNCHECKED, 0);
  SendMessageW(component("rdbSingle"), BM_SETCHECK, allPages ? BST_UNCHECKED : BST_CHECKED, 0);
}

void TTwainForm::showSheet(int index) {
  static const char* const kSheets[] = {"tab1", "tab2", "tab3", "tab4", "tab5"};
  for (int i = 0; i < 5; ++i) show(kSheets[i], i == index);
}

void TTwainForm::onTabChange() { showSheet(TabCtrl_GetCurSel(component("pgcPanel"))); }

// --- keyboard navigation ------------------------------------------------------------

// The components Tab visits, in the order it visits them: depth first
// through the containers, each container's children in creation order (the
// order of the component table), leaving out what is hidden or disabled.
std::vector<HWND> TTwainForm::tabOrder() const {
  std::vector<HWND> order;
  auto visit = [&order](HWND parent, auto& self) -> void {
    for (HWND child = GetWindow(parent, GW_CHILD); child; child = GetWindow(child, GW_HWNDNEXT)) {
      if (!IsWindowVisible(child) || !IsWindowEnabled(child)) continue;
      if (GetWindowLongPtrW(child, GWL_STYLE) & WS_TABSTOP) order.push_back(child);
      if (GetWindowLongPtrW(child, GWL_EXSTYLE) & WS_EX_CONTROLPARENT) self(child, self);
    }
  };
  visit(window_.get(), visit);
  return order;
}

bool TTwainForm::moveFocusByTab(const MSG& message) {
  if (message.message != WM_KEYDOWN || message.wParam != VK_TAB) return false;
  // Ctrl+Tab and Alt+Tab belong to the host and the system.
  if (GetKeyState(VK_CONTROL) < 0 || GetKeyState(VK_MENU) < 0) return false;
  const bool backwards = GetKeyState(VK_SHIFT) < 0;
  HWND form = window_.get();
  HWND focus = GetFocus();
  if (!focus || (focus != form && !IsChild(form, focus))) return false;
  std::vector<HWND> order = tabOrder();
  if (order.empty()) return false;
  // The focus may sit inside a component (the edit of a combo box): the
  // component is its nearest ancestor in the tab order.
  auto current = order.end();
  for (HWND window = focus; window && window != form && current == order.end(); window = GetParent(window))
    current = std::find(order.begin(), order.end(), window);
  HWND next = nullptr;
  if (current == order.end()) {
    next = backwards ? order.back() : order.front();
  } else if (backwards) {
    if (current == order.begin()) return false;
    next = *(current - 1);
  } else {
    if (current + 1 == order.end()) return false;
    next = *(current + 1);
  }
  SetFocus(next);
  // As in a dialog, an edit reached by Tab has its whole text selected.
  if (SendMessageW(next, WM_GETDLGCODE, 0, 0) & DLGC_HASSETSEL) SendMessageW(next, EM_SETSEL, 0, -1);
  return true;
}

// --- messages ---------------------------------------------------------------------

bool TTwainForm::previewKey(WPARAM& key) {
  if (!framework_.keyPreview) return true;
  short changed = events_.raiseKeyPress(static_cast<short>(key));
  if (changed == 0) return false;
  key = static_cast<WPARAM>(static_cast<unsigned short>(changed));
  return true;
}

bool TTwainForm::handleEnter(HWND component) {
  auto found = namesByWindow_.find(component);
  return found != namesByWindow_.end() && scanPanel_->handleEnter(found->second);
}

LRESULT TTwainForm::handleMessage(UINT message, WPARAM wParam, LPARAM lParam) {
  HWND form = window_.get();
  switch (message) {
    case WM_COMMAND:
      if (lParam) onCommand(reinterpret_cast<HWND>(lParam), HIWORD(wParam));
      return 0;
    case WM_NOTIFY: {
      auto* header = reinterpret_cast<NMHDR*>(lParam);
      if (header->hwndFrom == component("pgcPanel") && header->code == TCN_SELCHANGE) onTabChange();
      return 0;
    }
    case WM_CTLCOLORSTATIC:
    case WM_CTLCOLORBTN:
      SetBkMode(reinterpret_cast<HDC>(wParam), TRANSPARENT);
      return reinterpret_cast<LRESULT>(background_.get());
    case WM_ERASEBKGND: {
      RECT client;
      GetClientRect(form, &client);
      FillRect(reinterpret_cast<HDC>(wParam), &client, background_.get());
      return 1;
    }
    case WM_PAINT: {
      PAINTSTRUCT paint;
      BeginPaint(form, &paint);
      EndPaint(form, &paint);
      events_.raise(FormEvent::Paint);
      return 0;
    }
    case WM_LBUTTONDOWN:
      SetFocus(form);
      return 0;
    case WM_LBUTTONUP:
      events_.raise(FormEvent::Click);
      return 0;
    case WM_LBUTTONDBLCLK:
      events_.raise(FormEvent::DblClick);
      return 0;
    case WM_CHAR:
      events_.raiseKeyPress(static_cast<short>(wParam));
      return 0;
    case WM_TIMER:
      if (wParam == kConnectTimerId) retryDeviceConnection();
      return 0;
    case WM_SETFONT:
      return 0;
    case WM_SIZE:
      fitForm();
      return 0;
    case WM_SETCURSOR:
      // The hourglass shows while a crop waits and over the whole form
      // while a scan runs.
      if (showsBusyCursor(reinterpret_cast<HWND>(wParam)) || (scanPanel_ && scanPanel_->acquiring())) {
        SetCursor(LoadCursorW(nullptr, IDC_WAIT));
        return TRUE;
      }
      break;
  }
  return DefWindowProcW(form, message, wParam, lParam);
}

void TTwainForm::onCommand(HWND control, WORD code) {
  auto found = namesByWindow_.find(control);
  if (found == namesByWindow_.end()) return;
  if (code == BN_CLICKED) return onClick(found->second);
  scanPanel_->handleCommand(found->second, code);
}

void TTwainForm::onClick(const std::string& name) {
  if (name == "chkInterface") return onInterfaceClick();
  if (name == "chkMultiImage") return onMultiImageClick();
  if (name == "btnCustom") return events_.raise(FormEvent::CustomClick);
  if (scanPanel_->handleClick(name)) return;
  if (name == "btnAbort") {
    state_.abortUpload = true;
    return;
  }
  runCommand(name);
}

void TTwainForm::onInterfaceClick() {
  enable("chkCloseInterface", checked("chkInterface") && checked("chkMultiImage"));
  updateSettingsControls();
}

void TTwainForm::onMultiImageClick() {
  bool multiImage = checked("chkMultiImage");
  setViewerMultiImage(multiImage);
  enable("chkCloseInterface", multiImage && checked("chkInterface"));
  enable("chkDuplex", deviceCanScanDuplex() && multiImage);
}

}  // namespace pagewell
