#include "scan_panel.h"

#include <exception>

#include "scan_rules.h"
#include "text/wide_text.h"
#include "twain_form.h"
#include "viewer/pw_image.h"

namespace pagewell {
namespace {

// TWAIN's ICAP_UNITS values; the panel's own unit codes are kUnitInch and
// kUnitCentimetre.
constexpr int kTwainInches = 0;
constexpr int kTwainCentimetres = 1;
constexpr int kCustomSize = 8;
constexpr wchar_t kEnterKey = 13;

const char* const kResolutionControls[] = {"lblResolution", "lblResUnits", "cboResUnits", "cboResolution",
                                           "edtResolution"};
const char* const kCustomSizeControls[] = {"edtWidth", "edtHeight", "lblx", "cboSizeUnits", "lblCustomPage"};

std::wstring itemText(HWND list, int index) {
  LRESULT length = SendMessageW(list, CB_GETLBTEXTLEN, index, 0);
  if (length == CB_ERR) return {};
  std::wstring text(static_cast<size_t>(length) + 1, L'\0');
  LRESULT copied = SendMessageW(list, CB_GETLBTEXT, index, reinterpret_cast<LPARAM>(text.data()));
  text.resize(copied == CB_ERR ? 0 : static_cast<size_t>(copied));
  return text;
}

void addItem(HWND list, const std::wstring& text) {
  SendMessageW(list, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(text.c_str()));
}

// The form's panel is disabled and the hourglass shown while a batch runs;
// whatever ends the batch, both come back.
class BusyPanel {
 public:
  explicit BusyPanel(TTwainForm& form, bool& acquiring) : form_(form), acquiring_(acquiring) {
    acquiring_ = true;
    for (const char* panel : {"pgcPanel", "grpPanel"}) EnableWindow(form_.component(panel), FALSE);
    SetCursor(LoadCursorW(nullptr, IDC_WAIT));
  }
  ~BusyPanel() {
    acquiring_ = false;
    SetCursor(LoadCursorW(nullptr, IDC_ARROW));
    for (const char* panel : {"pgcPanel", "grpPanel"}) EnableWindow(form_.component(panel), TRUE);
  }
  BusyPanel(const BusyPanel&) = delete;
  BusyPanel& operator=(const BusyPanel&) = delete;

 private:
  TTwainForm& form_;
  bool& acquiring_;
};

}  // namespace

TScanPanel::TScanPanel(TTwainForm& form, TPWImage& viewer) : form_(form), viewer_(viewer) {}

// --- controls -----------------------------------------------------------------

HWND TScanPanel::control(std::string_view name) const { return form_.component(name); }
void TScanPanel::enable(std::string_view name, bool enabled) { EnableWindow(control(name), enabled); }
void TScanPanel::show(std::string_view name, bool visible) {
  ShowWindow(control(name), visible ? SW_SHOWNA : SW_HIDE);
}
int TScanPanel::selectedItem(std::string_view name) const {
  return static_cast<int>(SendMessageW(control(name), CB_GETCURSEL, 0, 0));
}
void TScanPanel::selectItem(std::string_view name, int index) {
  SendMessageW(control(name), CB_SETCURSEL, static_cast<WPARAM>(index), 0);
}
int TScanPanel::findItem(std::string_view name, const std::wstring& text) const {
  HWND list = control(name);
  int count = static_cast<int>(SendMessageW(list, CB_GETCOUNT, 0, 0));
  for (int i = 0; i < count; ++i)
    if (itemText(list, i) == text) return i;
  return -1;
}

bool TScanPanel::hasDevice() const { return viewer_.DeviceIndex() != -1; }
int TScanPanel::displayUnit() const { return selectedItem("cboResUnits") + 1; }
int TScanPanel::sizeUnit() const { return selectedItem("cboSizeUnits") + 1; }
const char* TScanPanel::visibleResolutionBox() const {
  return form_.state().resolutionListMode ? "cboResolution" : "edtResolution";
}

// --- devices --------------------------------------------------------------------

int TScanPanel::deviceCount() { return viewer_.DeviceCount(); }

void TScanPanel::listDevices() {
  HWND list = control("cboSelect");
  int count = deviceCount();
  for (int i = 0; i < count; ++i) addItem(list, wideFromAnsi(viewer_.DeviceName(i)));
  selectItem("cboSelect", 0);
  viewer_.SetDeviceIndex(0);
  refreshDevice();
}

void TScanPanel::selectDevice(int index) {
  selectItem("cboSelect", index);
  viewer_.SetDeviceIndex(index);
  refreshDevice();
}

void TScanPanel::refreshDevice() {
  if (connect()) {
    int current = viewer_.PixelType();
    const auto& codes = form_.state().pixelTypeCodes;
    for (size_t i = 0; i < codes.size(); ++i)
      if (codes[i] == current) selectItem("cboPixelType", static_cast<int>(i));
    showResolution();
    if (!viewer_.UIControllable()) {
      form_.setChecked("chkInterface", true);
      enable("chkInterface", false);
    } else {
      enable("chkInterface", true);
    }
  } else {
    enable("chkInterface", false);
  }
  updateSettingsControls();
  enableDuplexOption();
}

// Opens the device and reads what the tab shows of it. A device that does
// not answer is tried again by tmrConnect every ten seconds.
bool TScanPanel::connect() {
  FormState& state = form_.state();
  if (hasDevice()) {
    if (!viewer_.DeviceOnline()) {
      state.deviceConnected = false;
      forgetDeviceSettings();
      SetTimer(form_.window(), TTwainForm::kConnectTimerId, TTwainForm::kConnectTimerInterval, nullptr);
      form_.connectTimerRunning_ = true;
    } else {
      state.deviceConnected = true;
      form_.stopConnectTimer();
      fillPixelTypes();
      chooseUnits();
      fillResolutionList();
      fillPageSizes();
    }
  } else {
    state.deviceConnected = false;
    forgetDeviceSettings();
  }
  enable("btnAcquire", state.deviceConnected);
  return state.deviceConnected;
}

void TScanPanel::refillPixelTypes() {
  if (form_.state().deviceConnected && hasDevice()) fillPixelTypes();
}

void TScanPanel::reconnect() { connect(); }

// The lists of a device that does not answer would be another device's:
// they stay empty until it answers.
void TScanPanel::forgetDeviceSettings() {
  FormState& state = form_.state();
  for (const char* list : {"cboPixelType", "cboResolution", "cboPageSize"})
    SendMessageW(control(list), CB_RESETCONTENT, 0, 0);
  state.pixelTypeCodes.clear();
  form_.setText("edtResolution", L"");
  state.resolutionUnavailable = true;
}

void TScanPanel::fillPixelTypes() {
  FormState& state = form_.state();
  HWND list = control("cboPixelType");
  SendMessageW(list, CB_RESETCONTENT, 0, 0);
  state.pixelTypeCodes.clear();
  int current = viewer_.PixelType();
  for (int code = 0; code < 4; ++code) {
    if (!viewer_.PixelTypeSupported(code)) continue;
    addItem(list, state.pixelTypeNames[code]);
    state.pixelTypeCodes.push_back(code);
    if (code == current) selectItem("cboPixelType", static_cast<int>(state.pixelTypeCodes.size()) - 1);
  }
}

// Inches if the device takes them, else centimetres; a device that takes
// neither leaves the sizes and resolutions alone.
void TScanPanel::chooseUnits() {
  FormState& state = form_.state();
  state.unitsUsable = true;
  viewer_.SetUnits(kTwainInches);
  if (viewer_.Units() == kTwainInches) {
    state.deviceUnit = kUnitInch;
    selectItem("cboResUnits", 0);
    return;
  }
  viewer_.SetUnits(kTwainCentimetres);
  if (viewer_.Units() == kTwainCentimetres) {
    state.deviceUnit = kUnitCentimetre;
    selectItem("cboResUnits", 1);
    return;
  }
  state.unitsUsable = false;
}

void TScanPanel::fillResolutionList() {
  FormState& state = form_.state();
  if (!state.unitsUsable || !hasDevice()) return;
  int count = viewer_.ResolutionCount();
  if (viewer_.Resolution() == 0 && count > 0) viewer_.SetResolution(viewer_.ResolutionValue(count < 2 ? 1 : 2));
  double resolution = viewer_.Resolution();
  state.resolutionUnavailable = !(resolution > 0);
  if (state.resolutionUnavailable) return;
  const int unit = displayUnit();
  state.resolutionListMode = !(count >= 0 && count > state.maxListedResolutions);
  if (state.resolutionListMode) {
    HWND list = control("cboResolution");
    SendMessageW(list, CB_RESETCONTENT, 0, 0);
    for (int i = 1; i <= count; ++i)
      addItem(list, numberText(ConvertUnits(unit, state.deviceUnit, viewer_.ResolutionValue(i))));
  }
  show("cboResolution", state.resolutionListMode);
  show("edtResolution", !state.resolutionListMode);
  showResolution();
}

// The list holds the device's own values, so its current one is an item;
// a value the list lacks leaves no item chosen.
void TScanPanel::showResolution() {
  FormState& state = form_.state();
  if (!state.unitsUsable || !hasDevice()) return;
  std::wstring text = numberText(ConvertUnits(displayUnit(), state.deviceUnit, viewer_.Resolution()));
  if (state.resolutionListMode)
    selectItem("cboResolution", findItem("cboResolution", text));
  else
    form_.setText("edtResolution", text);
}

void TScanPanel::fillPageSizes() {
  FormState& state = form_.state();
  HWND list = control("cboPageSize");
  SendMessageW(list, CB_RESETCONTENT, 0, 0);
  if (!state.unitsUsable) return;
  double width = viewer_.PhysicalWidth();
  double height = viewer_.PhysicalHeight();
  if (state.deviceUnit == kUnitInch) {
    width *= 2.54;
    height *= 2.54;
  }
  std::vector<PageSizeCm> sizes;
  for (const PageSizeEntry& entry : state.pageSizes) sizes.push_back({entry.widthCm, entry.heightCm});
  for (int index : pageSizesWithin(sizes, width, height)) addItem(list, state.pageSizes[index].name);
  if (SendMessageW(list, CB_GETCOUNT, 0, 0) > 0) selectItem("cboPageSize", 0);
}

// --- enabling -------------------------------------------------------------------------

void TScanPanel::updateSettingsControls() {
  const FormState& state = form_.state();
  if (form_.checked("chkInterface")) {
    for (const char* name : {"grp1", "cboPixelType", "lblPixelType", "lblPageSize", "cboPageSize"})
      enable(name, false);
    for (const char* name : kResolutionControls) enable(name, false);
  } else {
    for (const char* name : {"grp1", "cboPixelType", "lblPixelType"}) enable(name, true);
    if (state.resolutionUnavailable) {
      for (const char* name : kResolutionControls) enable(name, false);
    } else {
      for (const char* name : {"lblResolution", "lblResUnits", "cboResUnits"}) enable(name, true);
      enable("cboResolution", state.resolutionListMode);
      enable("edtResolution", !state.resolutionListMode);
    }
    bool sizes = SendMessageW(control("cboPageSize"), CB_GETCOUNT, 0, 0) > 0;
    enable("lblPageSize", sizes);
    enable("cboPageSize", sizes);
  }
  updatePageSizeControls();
}

void TScanPanel::updatePageSizeControls() {
  bool custom = !form_.checked("chkInterface") && customSizeChosen();
  for (const char* name : kCustomSizeControls) enable(name, custom);
  if (custom) {
    showFrameSize();
  } else {
    form_.setText("edtWidth", L"");
    form_.setText("edtHeight", L"");
  }
}

// A device without duplex leaves no duplex choice standing from the device
// before it.
void TScanPanel::enableDuplexOption() {
  bool capable = duplexCapable();
  if (!capable) SendMessageW(control("chkDuplex"), BM_SETCHECK, BST_UNCHECKED, 0);
  enable("chkDuplex", capable && form_.checked("chkMultiImage"));
}

bool TScanPanel::duplexCapable() { return form_.state().deviceConnected && viewer_.DuplexType() > 0; }

// --- page sizes -----------------------------------------------------------------------

std::optional<int> TScanPanel::chosenPageSize() const {
  const auto& sizes = form_.state().pageSizes;
  std::wstring chosen = form_.text("cboPageSize");
  if (chosen.empty()) return std::nullopt;
  for (size_t i = 0; i < sizes.size(); ++i)
    if (sizes[i].name == chosen) return static_cast<int>(i);
  return std::nullopt;
}

bool TScanPanel::customSizeChosen() const { return chosenPageSize() == kCustomSize; }

double TScanPanel::deviceLengthIn(int unit, double length) const {
  return ConvertUnits(form_.state().deviceUnit, unit, length);
}

double TScanPanel::physicalExtent(Axis axis) const {
  return axis == Axis::Width ? viewer_.PhysicalWidth() : viewer_.PhysicalHeight();
}

void TScanPanel::showFrameSize() {
  if (!form_.state().unitsUsable || !hasDevice()) return;
  form_.setText("edtWidth", numberText(deviceLengthIn(sizeUnit(), viewer_.FrameRight() - viewer_.FrameLeft())));
  form_.setText("edtHeight", numberText(deviceLengthIn(sizeUnit(), viewer_.FrameBottom() - viewer_.FrameTop())));
}

void TScanPanel::applyPageSize() {
  const FormState& state = form_.state();
  if (state.pageSizeMode != 1) return;
  std::optional<int> chosen = chosenPageSize();
  if (!chosen) return;
  int unit = kUnitCentimetre;
  std::optional<double> width = state.pageSizes[*chosen].widthCm;
  std::optional<double> height = state.pageSizes[*chosen].heightCm;
  if (*chosen == kCustomSize) {
    unit = sizeUnit();
    width = readNumber(form_.text("edtWidth"));
    height = readNumber(form_.text("edtHeight"));
  }
  if (!state.unitsUsable || !hasDevice() || !width || !height) return;
  viewer_.SetFrame(0, ConvertUnits(unit, state.deviceUnit, *width), 0,
                   ConvertUnits(unit, state.deviceUnit, *height));
}

// --- control events ----------------------------------------------------------------------

bool TScanPanel::handleCommand(std::string_view name, WORD code) {
  if (code == CBN_SELCHANGE) {
    if (name == "cboSelect") return onSelectChange(), true;
    if (name == "cboPixelType") return onPixelTypeChange(), true;
    if (name == "cboResolution") return commitResolution(), true;
    if (name == "cboResUnits") return fillResolutionList(), true;
    if (name == "cboPageSize") return updatePageSizeControls(), true;
    if (name == "cboSizeUnits") {
      showFrameSize();
      applyPageSize();
      return true;
    }
  }
  if (code == EN_KILLFOCUS) {
    if (name == "edtResolution") return commitResolution(), true;
    if (name == "edtWidth") return commitLength(Axis::Width, false), true;
    if (name == "edtHeight") return commitLength(Axis::Height, false), true;
  }
  return false;
}

bool TScanPanel::handleClick(std::string_view name) {
  if (name == "chkDuplex") return onDuplexClick(), true;
  if (name == "btnAcquire") return runAcquisition(), true;
  return false;
}

bool TScanPanel::handleEnter(std::string_view name) {
  if (name == "edtResolution") {
    commitResolution();
    SetFocus(control("cboResUnits"));
    return true;
  }
  if (name == "edtWidth") return commitLength(Axis::Width, true), true;
  if (name == "edtHeight") return commitLength(Axis::Height, true), true;
  return false;
}

void TScanPanel::onSelectChange() {
  if (acquiring_) return;
  int index = selectedItem("cboSelect");
  viewer_.SelectDeviceByName(ansiFromWide(itemText(control("cboSelect"), index)));
  refreshDevice();
  form_.events_.raise(FormEvent::Select);
}

void TScanPanel::onDuplexClick() {
  if (duplexCapable()) viewer_.SetDuplex(form_.checked("chkDuplex"));
}

void TScanPanel::onPixelTypeChange() {
  int index = selectedItem("cboPixelType");
  const auto& codes = form_.state().pixelTypeCodes;
  if (hasDevice() && index >= 0 && static_cast<size_t>(index) < codes.size()) viewer_.SetPixelType(codes[index]);
}

// What the box holds goes to the device; the box then shows what the device
// made of it, which also replaces an entry that was not a number.
void TScanPanel::commitResolution() {
  if (!hasDevice()) return;
  const char* box = visibleResolutionBox();
  std::optional<double> typed = readNumber(form_.text(box));
  if (typed) viewer_.SetResolution(ConvertUnits(form_.state().deviceUnit, displayUnit(), *typed));
  showResolution();
}

void TScanPanel::commitLength(Axis axis, bool enter) {
  if (!hasDevice()) return;
  const char* box = axis == Axis::Width ? "edtWidth" : "edtHeight";
  std::optional<double> typed = readNumber(form_.text(box));
  double limit = deviceLengthIn(sizeUnit(), physicalExtent(axis));
  if (typed && *typed > 0 && *typed <= limit) {
    form_.setText(box, numberText(*typed));
    applyPageSize();
  } else {
    double edge = axis == Axis::Width ? viewer_.FrameRight() : viewer_.FrameBottom();
    form_.setText(box, numberText(deviceLengthIn(sizeUnit(), edge)));
  }
  if (enter) SetFocus(control(axis == Axis::Width ? "edtHeight" : "cboSizeUnits"));
}

// --- acquisition --------------------------------------------------------------------------

void TScanPanel::runAcquisition() {
  if (acquiring_) return;
  const FormState& state = form_.state();
  bool showInterface = form_.checked("chkInterface") || !viewer_.UIControllable();
  viewer_.SetShowUI(showInterface);
  if (showInterface) {
    viewer_.SetKeepSourceEnabled(!form_.checked("chkCloseInterface"));
  } else {
    int index = selectedItem("cboPixelType");
    if (index >= 0 && static_cast<size_t>(index) < state.pixelTypeCodes.size())
      viewer_.SetPixelType(state.pixelTypeCodes[index]);
    viewer_.SetAutoPageSize(state.pageSizeMode == 3);
    applyPageSize();
  }
  {
    BusyPanel busy(form_, acquiring_);
    try {
      viewer_.Acquire();
    } catch (const std::exception& error) {
      // A device that cannot be enabled: the user learns why nothing was
      // scanned; the panel comes back either way.
      MessageBoxW(form_.window(), wideFromAnsi(error.what()).c_str(), L"Pagewell", MB_OK | MB_ICONERROR);
    }
  }
  // The last page's MICR text, and single-image mode, once the panel is back.
  form_.acquisitionFinished();
}

// --- automation members ----------------------------------------------------------------------

std::wstring TScanPanel::deviceName() const {
  return hasDevice() ? form_.text("cboSelect") : std::wstring();
}

void TScanPanel::setDeviceName(const std::wstring& name) {
  if (acquiring_) return;
  viewer_.SelectDeviceByName(ansiFromWide(name));
  selectItem("cboSelect", viewer_.DeviceIndex());
  refreshDevice();
}

int TScanPanel::deviceIndex() const { return selectedItem("cboSelect"); }

void TScanPanel::setDeviceIndex(int index) {
  if (acquiring_) return;
  int items = static_cast<int>(SendMessageW(control("cboSelect"), CB_GETCOUNT, 0, 0));
  if (index < 0 || index >= items) return;
  selectDevice(index);
}

int TScanPanel::pixelType() const {
  if (!hasDevice()) return -1;
  int index = selectedItem("cboPixelType");
  const auto& codes = form_.state().pixelTypeCodes;
  return index >= 0 && static_cast<size_t>(index) < codes.size() ? codes[index] : -1;
}

void TScanPanel::setPixelType(int code) {
  if (!hasDevice()) return;
  const auto& codes = form_.state().pixelTypeCodes;
  for (size_t i = 0; i < codes.size(); ++i)
    if (codes[i] == code) selectItem("cboPixelType", static_cast<int>(i));
}

int TScanPanel::resolutionUnits() const { return selectedItem("cboResUnits"); }

void TScanPanel::setResolutionUnits(int index) {
  if (index != 0 && index != 1) return;
  selectItem("cboResUnits", index);
  fillResolutionList();
}

double TScanPanel::resolution() {
  if (!hasDevice()) return 0;
  std::optional<double> shown = readNumber(form_.text(visibleResolutionBox()));
  return shown ? *shown : 0;
}

void TScanPanel::setResolution(double value) {
  if (!hasDevice()) return;
  viewer_.SetResolution(ConvertUnits(form_.state().deviceUnit, displayUnit(), value));
  showResolution();
}

int TScanPanel::pageSize() const {
  if (!hasDevice()) return -1;
  std::optional<int> chosen = chosenPageSize();
  return chosen ? *chosen : -1;
}

void TScanPanel::setPageSize(int index) {
  const auto& sizes = form_.state().pageSizes;
  if (!hasDevice() || index < 0 || index > kCustomSize) return;
  int item = findItem("cboPageSize", sizes[index].name);
  if (item < 0) return;
  selectItem("cboPageSize", item);
  updatePageSizeControls();
}

int TScanPanel::pageSizeUnits() const { return selectedItem("cboSizeUnits"); }

void TScanPanel::setPageSizeUnits(int index) {
  if (index != 0 && index != 1) return;
  selectItem("cboSizeUnits", index);
  if (!customSizeChosen()) return;
  showFrameSize();
  applyPageSize();
}

// A named size answers its table dimensions in the page-size units, the
// units in which the custom size is read and written too.
double TScanPanel::pageWidth() const {
  if (!hasDevice()) return -1.0;
  std::optional<int> chosen = chosenPageSize();
  if (!chosen) return -1.0;
  if (*chosen == kCustomSize) return readNumber(form_.text("edtWidth")).value_or(-1.0);
  return ConvertUnits(kUnitCentimetre, sizeUnit(), form_.state().pageSizes[*chosen].widthCm);
}

double TScanPanel::pageHeight() const {
  if (!hasDevice()) return -1.0;
  std::optional<int> chosen = chosenPageSize();
  if (!chosen) return -1.0;
  if (*chosen == kCustomSize) return readNumber(form_.text("edtHeight")).value_or(-1.0);
  return ConvertUnits(kUnitCentimetre, sizeUnit(), form_.state().pageSizes[*chosen].heightCm);
}

void TScanPanel::setPageWidth(double value) {
  if (!hasDevice() || !customSizeChosen()) return;
  if (!(value > 0 && value <= deviceLengthIn(sizeUnit(), physicalExtent(Axis::Width)))) return;
  form_.setText("edtWidth", numberText(value));
  applyPageSize();
}

void TScanPanel::setPageHeight(double value) {
  if (!hasDevice() || !customSizeChosen()) return;
  if (!(value > 0 && value <= deviceLengthIn(sizeUnit(), physicalExtent(Axis::Height)))) return;
  form_.setText("edtHeight", numberText(value));
  applyPageSize();
}

bool TScanPanel::useDuplex() const { return form_.checked("chkDuplex"); }

void TScanPanel::setUseDuplex(bool value) {
  form_.setChecked("chkDuplex", value && form_.checked("chkMultiImage") && duplexCapable());
}

// The panel keeps no copy of the switch: a device without MICR refuses it,
// and choosing another device turns it off, so only the session can say.
bool TScanPanel::micrEnabled() const { return viewer_.MICREnabled(); }

void TScanPanel::setMicrEnabled(bool value) { viewer_.SetMICREnabled(value); }

}  // namespace pagewell
